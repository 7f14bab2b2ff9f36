#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "swf/core/ActionList.h"
#include "swf/core/SWFObject.h"

namespace movara::swf {

// Annotated text of movies, tags and actions, read through the mirror
// readers: one line per tag (offset, name, code, body size), then one
// indented `field = value` line per field its bytes hold, in the order they
// hold them. Bitmap, sound and video data show as their size and a hash, so
// that a dump stays readable.
//
// The same text compares a tag built in code with what its reader made of
// its bytes: two tags with equal fields describe alike.

// The name of a tag code ("DefineShape2"), "Unknown" for others.
const char* TagName(std::uint16_t code);

// The field lines of a tag, each indented by two spaces.
std::string DescribeTag(const TSWFObject& tag);

// One line per action, each indented by `indent` spaces. Offsets held by a
// marker show as the marker's number in the list.
std::string DescribeActions(const TSWFActionList& actions, int indent);

// A whole movie: its header line, then every tag with its offset in the
// uncompressed movie and its fields. Throws SWFFormatError (or StreamError)
// when the movie does not read.
std::string DumpMovie(std::span<const std::uint8_t> bytes);

// 64-bit FNV-1a of bytes, as 16 hex digits: the hash a dump shows for data.
std::string DataHash(std::span<const std::uint8_t> bytes);

}  // namespace movara::swf
