// Steam's appinfo.vdf built in memory from its documented layout (versions
// 39, 40 and 41, the last with its string table), for the tests and the
// fuzzer of its reader and for the files the Windows tests lay out.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zrcc::test {

// A binary key-value: an object when it has children, else a string, or an
// int32 when `isInt`.
struct Kv {
  std::string key;
  std::string text;
  std::vector<Kv> children;
  bool isObject = false;
  bool isInt = false;
  int32_t number = 0;
};

inline Kv KvText(std::string key, std::string text) { return {std::move(key), std::move(text), {}, false, false, 0}; }
inline Kv KvInt(std::string key, int32_t number) { return {std::move(key), {}, {}, false, true, number}; }
inline Kv KvObject(std::string key, std::vector<Kv> children) {
  return {std::move(key), {}, std::move(children), true, false, 0};
}

// One launch entry as Steam lists it below appinfo/config/launch.
struct LaunchSpec {
  std::string executable;
  std::string type;     // empty: no "type" key
  std::string oslist;   // empty: no config key
  std::string osarch;
  std::string betakey;
};

// appinfo { appid, common { name }, config { installdir, launch { 0 {...} 1 {...} } } }
inline Kv AppKv(uint32_t appId, const std::string& installDir, const std::vector<LaunchSpec>& launches) {
  std::vector<Kv> entries;
  for (size_t i = 0; i < launches.size(); ++i) {
    const LaunchSpec& l = launches[i];
    std::vector<Kv> fields = {KvText("executable", l.executable), KvText("arguments", "-windowed")};
    if (!l.type.empty()) fields.push_back(KvText("type", l.type));
    std::vector<Kv> config;
    if (!l.oslist.empty()) config.push_back(KvText("oslist", l.oslist));
    if (!l.osarch.empty()) config.push_back(KvText("osarch", l.osarch));
    if (!l.betakey.empty()) config.push_back(KvText("BetaKey", l.betakey));
    if (!config.empty()) fields.push_back(KvObject("config", config));
    entries.push_back(KvObject(std::to_string(i), fields));
  }
  return KvObject("appinfo", {KvInt("appid", static_cast<int32_t>(appId)),
                              KvObject("common", {KvText("name", "App " + std::to_string(appId)), KvInt("type", 1)}),
                              KvObject("config", {KvText("installdir", installDir), KvObject("launch", entries)})});
}

class AppInfoFile {
 public:
  explicit AppInfoFile(uint32_t version) : version_(version) {}

  void Add(uint32_t appId, const Kv& root) {
    std::string kv;
    Write(kv, root);
    kv += '\x08';  // the end of the entry's top level
    std::string entry;
    Put32(entry, 2);           // info state
    Put32(entry, 1700000000);  // last updated
    entry += std::string(8, '\x11');   // access token
    entry += std::string(20, '\x22');  // SHA-1 of the text form
    Put32(entry, 12345678);            // change number
    if (version_ >= 40) entry += std::string(20, '\x33');  // SHA-1 of the binary form
    entry += kv;
    Put32(entries_, appId);
    Put32(entries_, static_cast<uint32_t>(entry.size()));
    entries_ += entry;
  }

  std::string Bytes() const {
    std::string file;
    Put32(file, 0x07564400u + version_);
    Put32(file, 1);  // universe
    std::string body = entries_;
    Put32(body, 0);  // the end marker
    if (version_ < 41) return file + body;
    const uint64_t tableAt = 16 + body.size();
    Put32(file, static_cast<uint32_t>(tableAt));
    Put32(file, static_cast<uint32_t>(tableAt >> 32));
    std::string table;
    Put32(table, static_cast<uint32_t>(strings_.size()));
    for (const std::string& s : strings_) table += s + '\0';
    return file + body + table;
  }

 private:
  static void Put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  }

  void Key(std::string& out, const std::string& key) {
    if (version_ < 41) {
      out += key + '\0';
      return;
    }
    auto [at, added] = index_.emplace(key, static_cast<uint32_t>(strings_.size()));
    if (added) strings_.push_back(key);
    Put32(out, at->second);
  }

  void Write(std::string& out, const Kv& kv) {
    if (kv.isObject) {
      out += '\x00';
      Key(out, kv.key);
      for (const Kv& child : kv.children) Write(out, child);
      out += '\x08';
    } else if (kv.isInt) {
      out += '\x02';
      Key(out, kv.key);
      Put32(out, static_cast<uint32_t>(kv.number));
    } else {
      out += '\x01';
      Key(out, kv.key);
      out += kv.text + '\0';
    }
  }

  uint32_t version_;
  std::string entries_;
  std::vector<std::string> strings_;
  std::map<std::string, uint32_t> index_;
};

}  // namespace zrcc::test
