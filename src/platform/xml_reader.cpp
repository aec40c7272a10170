#include "platform/xml_reader.h"

#include <windows.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <optional>
#include <utility>
#include <vector>

#include "core/text.h"
#include "platform/win_handles.h"

namespace zrcc {

namespace {

using CreateXmlReaderFunction = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

// XmlLite's entry point, from the system folder only (never a DLL of that
// name beside the program or in the current folder). Loaded once, for the
// process's life.
CreateXmlReaderFunction CreateXmlReaderEntry() {
  static const CreateXmlReaderFunction entry = [] {
    const HMODULE module = LoadLibraryExW(L"xmllite.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return CreateXmlReaderFunction{};
    // Through the generic function type, as the loader hands it over.
    return reinterpret_cast<CreateXmlReaderFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(module, "CreateXmlReader")));
  }();
  return entry;
}

std::wstring LocalName(IXmlReader* reader) {
  const wchar_t* name = nullptr;
  UINT length = 0;
  if (FAILED(reader->GetLocalName(&name, &length)) || !name) return {};
  return std::wstring(name, length);
}

std::wstring Value(IXmlReader* reader) {
  const wchar_t* value = nullptr;
  UINT length = 0;
  if (FAILED(reader->GetValue(&value, &length)) || !value) return {};
  return std::wstring(value, length);
}

XmlAttributes Attributes(IXmlReader* reader) {
  XmlAttributes attributes;
  for (HRESULT hr = reader->MoveToFirstAttribute(); hr == S_OK; hr = reader->MoveToNextAttribute()) {
    if (reader->IsDefault()) continue;
    attributes.emplace_back(LocalName(reader), Value(reader));
  }
  reader->MoveToElement();
  return attributes;
}

bool IsXmlBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// The document as UTF-16, in which it is handed to the reader: from UTF-8
// (with or without its byte order mark) or UTF-16 in either byte order (by
// its mark, or by the NUL bytes of its first "<"). Nothing for bytes that
// are not text in these forms or hold a NUL, which no XML document may.
std::optional<std::wstring> DocumentText(std::string_view bytes) {
  const auto byte = [&bytes](size_t i) { return static_cast<uint8_t>(bytes[i]); };
  std::wstring text;
  const bool littleEndian = bytes.size() >= 2 && ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == '<' && byte(1) == 0));
  const bool bigEndian = bytes.size() >= 2 && ((byte(0) == 0xFE && byte(1) == 0xFF) || (byte(0) == 0 && byte(1) == '<'));
  if (littleEndian || bigEndian) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    const size_t start = (byte(0) == 0xFF || byte(0) == 0xFE) ? 2 : 0;
    for (size_t i = start; i < bytes.size(); i += 2) {
      const uint16_t unit = littleEndian ? static_cast<uint16_t>(byte(i) | (byte(i + 1) << 8))
                                         : static_cast<uint16_t>((byte(i) << 8) | byte(i + 1));
      text.push_back(static_cast<wchar_t>(unit));
    }
  } else {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (!DecodeUtf8Strict(bytes, text)) return std::nullopt;
  }
  if (text.find(L'\0') != std::wstring::npos) return std::nullopt;
  return text;
}

// The XML declaration names the encoding the file was in, no longer the
// one the reader is given: it goes (it carries nothing else the readers
// need).
void DropDeclaration(std::wstring& text) {
  if (text.size() < 6 || text.compare(0, 5, L"<?xml") != 0 || !IsXmlBlank(text[5])) return;
  const size_t end = text.find(L"?>");
  if (end != std::wstring::npos) text.erase(0, end + 2);
}

// Whether the text is one whole element as far as its tags go: every
// element that starts ends, in the order of nesting, and nothing starts
// after the root has ended (comments, CDATA and instructions passed over,
// quoted attribute values read as such). Only a guard: the system's reader
// still reads the document. Wine's reader, shown a document that ends while
// an element is open (a file cut short), loops for ever or stops the
// process instead of failing, so such a document never reaches it. Blanks
// at the end go (after the root they mean nothing).
bool IsOneWholeElement(std::wstring& text) {
  while (!text.empty() && IsXmlBlank(text.back())) text.pop_back();
  std::vector<std::wstring_view> open;
  bool rootEnded = false;
  const std::wstring_view all(text);
  for (size_t at = all.find(L'<'); at != std::wstring_view::npos; at = all.find(L'<', at)) {
    const std::wstring_view rest = all.substr(at);
    const std::pair<std::wstring_view, std::wstring_view> skipped[] = {
        {L"<!--", L"-->"}, {L"<![CDATA[", L"]]>"}, {L"<?", L"?>"}};
    bool wasSkipped = false;
    for (const auto& [opening, closing] : skipped) {
      if (!rest.starts_with(opening)) continue;
      const size_t end = all.find(closing, at + opening.size());
      if (end == std::wstring_view::npos) return false;
      at = end + closing.size();
      wasSkipped = true;
      break;
    }
    if (wasSkipped) continue;
    if (rest.starts_with(L"<!")) return false;  // a document type: refused in any case
    const bool closing = rest.starts_with(L"</");
    const size_t nameStart = at + (closing ? 2 : 1);
    const size_t nameEnd = all.find_first_of(L" \t\r\n/>", nameStart);
    if (nameEnd == std::wstring_view::npos || nameEnd == nameStart) return false;
    const std::wstring_view name = all.substr(nameStart, nameEnd - nameStart);
    size_t end = nameEnd;
    for (wchar_t quote = 0; end < all.size(); ++end) {
      const wchar_t c = all[end];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == L'"' || c == L'\'') {
        quote = c;
      } else if (c == L'>') {
        break;
      } else if (c == L'<') {
        return false;
      }
    }
    if (end == all.size()) return false;
    if (closing) {
      if (open.empty() || open.back() != name) return false;
      open.pop_back();
      rootEnded = open.empty();
    } else {
      if (rootEnded && open.empty()) return false;  // a second root
      if (all[end - 1] == L'/') {
        rootEnded = rootEnded || open.empty();
      } else {
        if (open.size() >= kMaxXmlDepth) return false;
        open.push_back(name);
      }
    }
    at = end + 1;
  }
  return rootEnded && open.empty();
}

}  // namespace

XmlRead ReadXmlDocument(std::string_view bytes, const XmlVisitor& visitor) {
  std::optional<std::wstring> text = DocumentText(bytes);
  if (!text) return XmlRead::Malformed;
  DropDeclaration(*text);
  if (!IsOneWholeElement(*text)) return XmlRead::Malformed;
  text->insert(text->begin(), static_cast<wchar_t>(0xFEFF));  // UTF-16 in this machine's byte order
  const CreateXmlReaderFunction create = CreateXmlReaderEntry();
  if (!create) return XmlRead::Unavailable;
  if (text->size() > UINT_MAX / sizeof(wchar_t)) return XmlRead::Malformed;
  ComPtr<IStream> stream;
  *stream.put() = SHCreateMemStream(reinterpret_cast<const BYTE*>(text->data()),
                                    static_cast<UINT>(text->size() * sizeof(wchar_t)));
  ComPtr<IXmlReader> reader;
  if (!stream || FAILED(create(__uuidof(IXmlReader), reader.put_void(), nullptr)) || !reader) {
    return XmlRead::Unavailable;
  }
  // Prohibited is the reader's default too; a document type is refused
  // below as well, should the setting not be honoured.
  reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
  reader->SetProperty(XmlReaderProperty_MaxElementDepth, kMaxXmlDepth);
  if (FAILED(reader->SetInput(stream.get()))) return XmlRead::Malformed;

  XmlPath path;
  XmlNodeType type = XmlNodeType_None;
  HRESULT hr = S_OK;
  while ((hr = reader->Read(&type)) == S_OK) {
    switch (type) {
      case XmlNodeType_DocumentType: return XmlRead::Malformed;
      case XmlNodeType_Element: {
        if (path.size() >= kMaxXmlDepth) return XmlRead::Malformed;
        const bool empty = reader->IsEmptyElement() != FALSE;
        path.push_back(LocalName(reader.get()));
        const XmlAttributes attributes = Attributes(reader.get());
        if (visitor.element) visitor.element(path, attributes);
        if (empty) path.pop_back();
        break;
      }
      case XmlNodeType_EndElement:
        if (path.empty()) return XmlRead::Malformed;
        path.pop_back();
        break;
      case XmlNodeType_Text: case XmlNodeType_CDATA:
        if (visitor.text && !path.empty()) visitor.text(path, Value(reader.get()));
        break;
      default: break;
    }
  }
  return hr == S_FALSE && path.empty() ? XmlRead::Read : XmlRead::Malformed;
}

std::wstring XmlAttribute(const XmlAttributes& attributes, std::wstring_view name) {
  for (const auto& [key, value] : attributes) {
    if (key == name) return value;
  }
  return {};
}

}  // namespace zrcc
