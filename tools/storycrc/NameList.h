#pragma once

#include <set>
#include <string>
#include <vector>

// The names to fingerprint, distinct, in ascending byte order.
using NameList = std::set<std::string>;

// Expands the names as typed: "@path" reads the response file at path, one name per line
// (a line feed ends a line, a trailing carriage return is dropped), each line upper-cased;
// a line beginning with '@' names a further response file. Each distinct "@" text is read
// once, so self-references end. Response files that cannot be read or are not regular files
// (FIFOs, devices) are ignored.
NameList expandNames(const std::vector<std::string>& names);

// ASCII upper-casing: 'a' to 'z' become 'A' to 'Z', every other byte stays.
std::string upperCased(std::string text);
