// The content type of each file extension, as the desktop's mime.types table gives it.
#pragma once

#include <map>
#include <string>
#include <string_view>

// Extension (without the dot, lower case) to content type.
using MimeTypeTable = std::map<std::string, std::string>;

// Parses mime.types text: "type ext ext ..." per line, "#" starts a comment. The first type
// listed for an extension wins.
MimeTypeTable ParseMimeTypes(std::string_view text);

// The table of the file at path; when the file cannot be read, the small built-in table of
// BuiltInMimeTypes. Callable from any thread.
MimeTypeTable LoadMimeTypes(const std::string& path);

// The types a web site's plain pages need even on a system without a mime.types file:
// html, htm, txt, css, js, gif, jpg, jpeg and png.
MimeTypeTable BuiltInMimeTypes();
