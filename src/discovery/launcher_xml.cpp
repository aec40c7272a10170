#include "discovery/launcher_xml.h"

#include <vector>

#include "core/text.h"
#include "platform/xml_reader.h"

namespace zrcc {

namespace {

bool PathIs(const XmlPath& path, std::initializer_list<std::wstring_view> names) {
  if (path.size() != names.size()) return false;
  size_t i = 0;
  for (const std::wstring_view name : names) {
    if (path[i++] != name) return false;
  }
  return true;
}

bool EndsWith(const XmlPath& path, std::initializer_list<std::wstring_view> names) {
  if (path.size() < names.size()) return false;
  size_t i = path.size() - names.size();
  for (const std::wstring_view name : names) {
    if (LowerKey(path[i++]) != LowerKey(name)) return false;
  }
  return true;
}

}  // namespace

std::optional<AppxManifest> ReadAppxManifest(std::string_view bytes) {
  AppxManifest manifest;
  bool isPackage = false, haveApplication = false;
  std::wstring displayName;
  XmlVisitor visitor;
  visitor.element = [&](const XmlPath& path, const XmlAttributes& attributes) {
    if (path.size() == 1) isPackage = path[0] == L"Package";
    if (PathIs(path, {L"Package", L"Identity"}) && manifest.identityName.empty()) {
      manifest.identityName = XmlAttribute(attributes, L"Name");
    }
    if (PathIs(path, {L"Package", L"Applications", L"Application"}) && !haveApplication) {
      haveApplication = true;
      manifest.applicationId = XmlAttribute(attributes, L"Id");
      manifest.executable = XmlAttribute(attributes, L"Executable");
    }
  };
  visitor.text = [&](const XmlPath& path, std::wstring_view text) {
    if (PathIs(path, {L"Package", L"Properties", L"DisplayName"})) displayName += text;
  };
  if (ReadXmlDocument(bytes, visitor) != XmlRead::Read || !isPackage) return std::nullopt;
  const std::wstring_view name = TrimBlanks(displayName);
  if (!LowerKey(name).starts_with(L"ms-resource:")) manifest.displayName = name;
  return manifest;
}

std::optional<std::wstring> ReadGameConfigExecutable(std::string_view bytes, std::wstring_view applicationId) {
  std::vector<std::pair<std::wstring, std::wstring>> executables;  // name, id
  XmlVisitor visitor;
  visitor.element = [&](const XmlPath& path, const XmlAttributes& attributes) {
    if (PathIs(path, {L"Game", L"ExecutableList", L"Executable"})) {
      std::wstring name = XmlAttribute(attributes, L"Name");
      if (!TrimBlanks(name).empty()) executables.emplace_back(std::move(name), XmlAttribute(attributes, L"Id"));
    }
  };
  if (ReadXmlDocument(bytes, visitor) != XmlRead::Read || executables.empty()) return std::nullopt;
  for (const auto& [name, id] : executables) {
    if (!applicationId.empty() && id == applicationId) return name;
  }
  return executables.front().first;
}

std::optional<InstallerData> ReadInstallerData(std::string_view bytes) {
  struct Launcher {
    std::wstring filePath, requires64, trial;
  };
  struct Title {
    std::wstring locale, text;
  };
  std::vector<Launcher> launchers;
  std::vector<Title> titles;
  auto isTitle = [](const XmlPath& path) {
    return EndsWith(path, {L"gameTitles", L"gameTitle"}) || EndsWith(path, {L"localeInfo", L"title"});
  };
  XmlVisitor visitor;
  visitor.element = [&](const XmlPath& path, const XmlAttributes& attributes) {
    if (EndsWith(path, {L"runtime", L"launcher"})) launchers.emplace_back();
    if (EndsWith(path, {L"gameTitles", L"gameTitle"})) titles.push_back({XmlAttribute(attributes, L"locale"), {}});
    if (EndsWith(path, {L"metadata", L"localeInfo"})) titles.push_back({XmlAttribute(attributes, L"locale"), {}});
  };
  visitor.text = [&](const XmlPath& path, std::wstring_view text) {
    if (!launchers.empty() && EndsWith(path, {L"runtime", L"launcher", L"filePath"})) {
      launchers.back().filePath += text;
    } else if (!launchers.empty() && EndsWith(path, {L"runtime", L"launcher", L"requires64BitOS"})) {
      launchers.back().requires64 += text;
    } else if (!launchers.empty() && EndsWith(path, {L"runtime", L"launcher", L"trial"})) {
      launchers.back().trial += text;
    } else if (!titles.empty() && isTitle(path)) {
      titles.back().text += text;
    }
  };
  if (ReadXmlDocument(bytes, visitor) != XmlRead::Read) return std::nullopt;
  InstallerData data;
  for (const Title& title : titles) {
    const std::wstring_view text = TrimBlanks(title.text);
    if (text.empty()) continue;
    if (data.name.empty()) data.name = text;
    if (LowerKey(title.locale) == L"en_us") {
      data.name = text;
      break;
    }
  }
  const Launcher* chosen = nullptr;
  for (const Launcher& launcher : launchers) {
    if (TrimBlanks(launcher.trial) == L"1" || TrimBlanks(launcher.filePath).empty()) continue;
    const bool is64 = TrimBlanks(launcher.requires64) == L"1";
    if (!chosen || (is64 && TrimBlanks(chosen->requires64) != L"1")) chosen = &launcher;
  }
  if (chosen) data.launchPath = std::wstring(TrimBlanks(chosen->filePath));
  return data;
}

}  // namespace zrcc
