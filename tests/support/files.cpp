#include "support/files.h"

#include "platform/registry_helper.h"

#include <cstdio>
#include <shlobj.h>
#include <fstream>
#include <sstream>

std::string makeTemporaryFolder() {
    static int counter;
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    char folder[MAX_PATH];
    for (;;) {
        snprintf(folder, sizeof folder, "%sjnotes-test-%lu-%d", base, GetCurrentProcessId(),
                 ++counter);
        if (CreateDirectoryA(folder, nullptr))
            return folder;
    }
}

void removeFolder(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeFolder(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string readFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    std::string bytes;
    std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
    if (size <= 0)
        return bytes;
    // Read in one go: pages of tens of megabytes are compared after every kill.
    bytes.resize(static_cast<size_t>(size));
    file.seekg(0);
    file.read(&bytes[0], bytes.size());
    bytes.resize(static_cast<size_t>(file.gcount()));
    return bytes;
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), bytes.size());
}

std::string executableFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string readRegistryString(HKEY root, const char* keyPath, const char* valueName, bool* found) {
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    HKEY key;
    bool ok = RegOpenKeyExA(root, keyPath, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (ok) {
        ok = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data),
                              &size) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    if (found)
        *found = ok;
    return ok ? std::string(data, size) : std::string();
}

void deleteRegistryValue(HKEY root, const char* keyPath, const char* valueName) {
    RegistryHelper().deleteValue(root, keyPath, valueName);
}

void setRegistryValue(HKEY root, const char* keyPath, const char* valueName, DWORD type,
                      const std::string& data) {
    HKEY key;
    if (RegCreateKeyExA(root, keyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExA(key, valueName, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
        RegCloseKey(key);
    }
}

void replaceFromOutside(const std::string& path, const std::string& bytes) {
    writeFileBytes(path + ".sync", bytes);
    MoveFileExA((path + ".sync").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::string fileIndex(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info;
    bool found = file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!found)
        return std::string();
    return std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) +
           ":" + std::to_string(info.nFileIndexLow);
}

std::vector<std::string> rescuedFiles() {
    std::vector<std::string> files;
    char documents[MAX_PATH];
    if (SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, documents) != S_OK)
        return files;
    WIN32_FIND_DATAA found;
    HANDLE search =
        FindFirstFileA((std::string(documents) + "\\Jotty Notes - *.txt").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        files.push_back(std::string(documents) + "\\" + found.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return files;
}

bool startLinuxProgram(std::string commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    // For a Linux program Wine gives back no process handle and a thread handle that is not
    // one: closing it could close any handle of the tests, their output included.
    if (process.hProcess) {
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return true;
}

// A folder is writable when a file can be made in it.
static bool writable(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        HANDLE probe = CreateFileA((path + "\\writable.probe").c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (probe == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(probe);
        return true;
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

std::string unixPath(const std::string& windowsPath) {
    typedef char*(CDECL * ToUnix)(const WCHAR*);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return std::string();
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
    char* path = toUnix(wide);
    if (!path)
        return std::string();
    std::string result = path;
    HeapFree(GetProcessHeap(), 0, path);
    return result;
}

bool makeImmutable(const std::string& path, bool immutable) {
    std::string file = unixPath(path);
    if (file.empty() || file.find('\'') != std::string::npos ||
        !startLinuxProgram("Z:\\usr\\bin\\chattr " + std::string(immutable ? "+i" : "-i") + " \"" +
                           file + "\""))
        return false;
    for (int tries = 0; tries < 100; ++tries) {
        if (writable(path) != immutable)
            return true;
        Sleep(20);
    }
    return false;
}
