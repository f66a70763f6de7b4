#pragma once
// A fresh, empty directory per test that stands in for the component's module
// directory, so each test sees its own "Vexil2.ini" and text files. Separate
// directories also keep Wine's profile cache from carrying state between tests.

#include <filesystem>
#include <string>

class CTestDirectory
{
public:
    // A directory of its own under the system's temporary directory, or under parent.
    explicit CTestDirectory(const std::filesystem::path& parent = {});
    ~CTestDirectory();
    CTestDirectory(const CTestDirectory&) = delete;
    CTestDirectory& operator=(const CTestDirectory&) = delete;

    // The directory as the platform writes paths, with the trailing separator.
    const std::string& GetPath() const { return m_text; }
    // Full path of a file in the directory.
    std::string GetFile(const std::string& name) const { return m_text + name; }

    std::string ReadFile(const std::string& name) const;          // bytes as they stand; "" when missing
    void WriteFile(const std::string& name, const std::string& bytes) const;
    bool Exists(const std::string& name) const;
    void Remove(const std::string& name) const;

private:
    std::filesystem::path m_path;
    std::string m_text;
};
