// Slash-separated path strings: components and extensions, the way the
// platform's path methods treat them (an extension belongs to the last
// component only; a leading dot does not start one).
#pragma once

#include <string>

namespace host {
namespace path {

bool isAbsolute(const std::string& p);
std::string lastComponent(const std::string& p);
// "dir/file.png" -> "dir"; "file.png" -> "".
std::string deletingLastComponent(const std::string& p);
// "dir/sheet.pvr.ccz" -> "ccz"; no extension -> "".
std::string extension(const std::string& p);
std::string deletingExtension(const std::string& p);
// Joins with one slash; an empty side gives the other unchanged.
std::string appendingComponent(const std::string& dir, const std::string& component);
// Adds ".ext" (nothing for an empty ext).
std::string appendingExtension(const std::string& p, const std::string& ext);

}  // namespace path
}  // namespace host
