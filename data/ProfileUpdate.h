#pragma once
// Profile (ini) writes applied as one. The system's profile functions rewrite
// the file in place and report success even when a full disk cut it short;
// so the writes go to a copy beside the file, which takes the file's place
// only when every key, old and new, reads back from the disk as it should.
// Otherwise the file stays byte for byte. Where no new file may be made in
// the folder the writes go to the file itself, and its old bytes are put
// back when they do not all arrive.

#include <optional>
#include <string>
#include <vector>

class CProfileUpdate
{
public:
    explicit CProfileUpdate(std::string file);
    ~CProfileUpdate();
    CProfileUpdate(const CProfileUpdate&) = delete;
    CProfileUpdate& operator=(const CProfileUpdate&) = delete;

    // WritePrivateProfileString on the copy: a null value deletes the key, a
    // null key the section. False once any write failed.
    bool Write(const char* section, const char* key, const char* value);

    // Checks that the disk holds what it should and puts it in place of the
    // file. False, with the file as it was, when anything failed.
    bool Commit();

private:
    struct CEntry
    {
        std::string Section;
        std::string Key;
        std::optional<std::string> Value; // none: must be gone
    };
    void Expect(const std::string& section, const std::optional<std::string>& key,
                const std::optional<std::string>& value);
    bool ReadsBackAsExpected() const;
    void Abandon();

    std::string m_file;
    std::string m_target; // the copy, or the file itself when no copy could be made
    std::optional<std::string> m_oldBytes; // kept when writing the file itself
    std::vector<CEntry> m_expected;
    bool m_failed = false;
    bool m_done = false;
};
