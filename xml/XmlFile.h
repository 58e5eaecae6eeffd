#pragma once

#include "xml/XmlLimits.h"

#include <string>

class TiXmlDocument;

namespace xml {

// Reads and parses the XML file at `path`. The bytes are taken as they stand, single-byte
// text whatever encoding a declaration or a byte-order mark names (a leading UTF-8 mark is
// dropped), line ends become "\n", and runs of white space inside texts are kept. False when
// the file cannot be read, passes a limit of XmlLimits.h (then TinyXML never sees it) or does
// not parse; `problem`, when given, then says why and where: TinyXML's error ("Failed to open
// file" without a location for a file that cannot be read, or a folder) or the limit passed.
bool loadXmlFile(const std::string& path, TiXmlDocument& doc, XmlProblem* problem = nullptr);

// Writes `doc` with TinyXML's printer (four-space indent, "\n" line ends) to `path`, through a
// temporary file renamed over it. False when it could not be written; the previous file is
// then untouched.
bool saveXmlFile(const std::string& path, const TiXmlDocument& doc);

} // namespace xml
