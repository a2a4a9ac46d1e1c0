// Files, folders and registry values for tests.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

std::string makeTemporaryFolder();
void removeFolder(const std::string& folder);
bool fileExists(const std::string& path);
std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);
// Another program's copy of a file renamed over it, as sync programs bring one in.
void replaceFromOutside(const std::string& path, const std::string& bytes);
// Which file stands at the path (its volume and index, the same for every hard link to it);
// empty when there is none.
std::string fileIndex(const std::string& path);
// The files "Jotty Notes - <page name> - <date time>.txt" in the user's Documents folder, where
// the program leaves text that could be kept nowhere else.
std::vector<std::string> rescuedFiles();
// The folder that holds the running test executable (and jnotes.exe beside it).
std::string executableFolder();

std::string readRegistryString(HKEY root, const char* keyPath, const char* valueName,
                               bool* found = nullptr);
void deleteRegistryValue(HKEY root, const char* keyPath, const char* valueName);
void setRegistryValue(HKEY root, const char* keyPath, const char* valueName, DWORD type,
                      const std::string& data);

// Starts a Linux program given by its Windows path on the Z: drive. Wine hands back no handle
// to wait on and no exit code, so callers check the effect.
bool startLinuxProgram(std::string commandLine);
// The Linux path of a file under Wine; empty when there is none.
std::string unixPath(const std::string& windowsPath);

// Makes a file or a folder immutable on the Linux side (Wine as root ignores read-only
// attributes); false when the file system cannot. Nothing can be created in or removed from
// an immutable folder.
bool makeImmutable(const std::string& path, bool immutable);
