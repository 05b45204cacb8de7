#include "modforge/search_path.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace modforge {
namespace {

namespace fs = std::filesystem;

bool isFolder(const std::string& path) {
  std::error_code ignored;
  return fs::is_directory(path, ignored);
}

void addColonList(const char* list, std::vector<std::string>& folders) {
  std::string text = list ? list : "";
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(':', start);
    if (end == std::string::npos) end = text.size();
    if (end > start) folders.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

// Regular files of a folder in name order, so that the first file of a
// module is the same on every machine.
std::vector<std::string> filesOf(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    std::error_code ignored;
    if (entry->is_regular_file(ignored)) files.push_back(entry->path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

std::vector<std::string> SearchPath::standardFolders(const std::vector<std::string>& given, const char* variable) {
  std::vector<std::string> folders = given;
  addColonList(variable ? std::getenv(variable) : nullptr, folders);
  if (isFolder("/usr/share/snmp/mibs")) folders.push_back("/usr/share/snmp/mibs");
  std::vector<std::string> shared;
  std::error_code error;
  for (fs::directory_iterator entry("/usr/share/mibs", error), end; !error && entry != end; entry.increment(error)) {
    std::error_code ignored;
    if (entry->is_directory(ignored)) shared.push_back(entry->path().string());
  }
  std::sort(shared.begin(), shared.end());
  folders.insert(folders.end(), shared.begin(), shared.end());
  // A folder named twice is searched and reported once, where it came first.
  std::vector<std::string> unique;
  for (const std::string& folder : folders) {
    if (std::find(unique.begin(), unique.end(), folder) == unique.end()) unique.push_back(folder);
  }
  return unique;
}

void SearchPath::buildIndex() {
  indexed_ = true;
  for (const std::string& folder : folders_) {
    for (const std::string& file : filesOf(folder)) {
      std::string module = firstModuleName(file);
      if (!module.empty()) index_.emplace(std::move(module), file);
    }
  }
}

std::string SearchPath::locate(const std::string& module, CompileLog& log) {
  if (!indexed_) buildIndex();
  if (auto found = index_.find(module); found != index_.end()) return found->second;
  std::string searched;
  for (const std::string& folder : folders_) searched += (searched.empty() ? "" : ", ") + folder;
  if (searched.empty()) searched = "(no folders)";
  log.message("Cannot import module " + module + ": no source file for it in " + searched);
  return {};
}

}  // namespace modforge
