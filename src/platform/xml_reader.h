// Reading an XML file that another program wrote (a Store game's manifest,
// an installer's data) with the system's own XML reader, XmlLite: element by
// element, as outside input. The bytes are read whole beforehand (size-
// capped by the caller); a document type declaration is refused, so no
// entity of the file's own can expand or reach outside it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zrcc {

// Elements nest a handful of levels in the files read here; deeper is refused.
inline constexpr size_t kMaxXmlDepth = 64;

// The local names (prefixes dropped) from the document's root down to the
// current element.
using XmlPath = std::vector<std::wstring>;
using XmlAttributes = std::vector<std::pair<std::wstring, std::wstring>>;  // local name, value

struct XmlVisitor {
  // Each element as it starts, with its attributes.
  std::function<void(const XmlPath&, const XmlAttributes&)> element;
  // Each piece of text (or CDATA) directly inside the element at the path's end.
  std::function<void(const XmlPath&, std::wstring_view)> text;
};

enum class XmlRead {
  Read,         // the whole document was visited
  Malformed,    // not well-formed XML, a document type declaration, nesting too deep: visited up to the fault
  Unavailable,  // the system's XML reader could not be had
};

// Visits the document in `bytes`: UTF-8 (with or without a byte order mark)
// or UTF-16 in either byte order. Bytes that are no such text, hold a NUL,
// or do not end as a document ends (cut short) are Malformed before the
// system's reader sees them.
XmlRead ReadXmlDocument(std::string_view bytes, const XmlVisitor& visitor);

// The attribute `name` of an element's attributes, or empty.
std::wstring XmlAttribute(const XmlAttributes& attributes, std::wstring_view name);

}  // namespace zrcc
