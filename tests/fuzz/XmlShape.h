#pragma once

#include "tests/fuzz/FuzzSupport.h"
#include "xml/XmlFile.h"

#include <tinyxml.h>

namespace fuzz {

// Loads `path` as the programs do and checks that the tree the parser built (up to a syntax
// error) stays within the reader's nesting and attribute limits: a reader that lets more
// through shows here long before the parser's stack or its time runs out.
inline void checkXmlWithinLimits(const std::string& path)
{
    TiXmlDocument doc;
    xml::loadXmlFile(path, doc);
    std::vector<std::pair<const TiXmlNode*, int>> pending{{&doc, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        if (const TiXmlElement* element = node->ToElement()) {
            int attributes = 0;
            for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
                ++attributes;
            }
            check(depth <= xml::kMaxNestingDepth && attributes <= xml::kMaxAttributes,
                  "the parser was given a document past the reader's limits",
                  "element " + std::string(element->Value()) + " at depth " +
                      std::to_string(depth) + " with " + std::to_string(attributes) +
                      " attributes");
        }
        for (const TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling()) {
            pending.emplace_back(child, depth + 1);
        }
    }
}

} // namespace fuzz
