#include "platform/xml_reader.h"

#include <windows.h>
#include <shlwapi.h>
#include <xmllite.h>

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

}  // namespace

XmlRead ReadXmlDocument(std::string_view bytes, const XmlVisitor& visitor) {
  const CreateXmlReaderFunction create = CreateXmlReaderEntry();
  if (!create || bytes.size() > UINT_MAX) return XmlRead::Unavailable;
  ComOwner<IStream> stream;
  *stream.out() = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
  ComOwner<IXmlReader> reader;
  if (!stream || FAILED(create(__uuidof(IXmlReader), reinterpret_cast<void**>(reader.out()), nullptr)) || !reader) {
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
