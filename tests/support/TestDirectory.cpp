#include "tests/support/TestDirectory.h"

#include "platform/Platform.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

std::string MakeUniqueName()
{
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return "vexil-test-" + std::to_string(now) + '-' + std::to_string(counter++);
}

} // namespace

CTestDirectory::CTestDirectory(const fs::path& parent)
{
    m_path = (parent.empty() ? fs::temp_directory_path() : parent) / MakeUniqueName();
    fs::create_directories(m_path);
    m_text = m_path.string();
    if (m_text.empty() || m_text.back() != Platform::GetPathSeparator())
        m_text += Platform::GetPathSeparator();
    Platform::SetModuleDirectory(m_text);
}

CTestDirectory::~CTestDirectory()
{
    Platform::SetModuleDirectory({});
    std::error_code ignored;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (const auto& entry : fs::recursive_directory_iterator(m_path, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

std::string CTestDirectory::ReadFile(const std::string& name) const
{
    std::ifstream in(m_path / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void CTestDirectory::WriteFile(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(m_path / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write test file " + name);
}

bool CTestDirectory::Exists(const std::string& name) const { return fs::exists(m_path / name); }

void CTestDirectory::Remove(const std::string& name) const
{
    std::error_code ignored;
    fs::remove_all(m_path / name, ignored);
}
