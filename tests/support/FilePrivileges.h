#pragma once

// While one lives, the calling thread has no privilege over file
// permissions (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER), so a
// test run as root meets write-protected files and folders as a user
// does. Does nothing for a user without those privileges.
class WithoutFilePrivileges {
public:
    WithoutFilePrivileges();
    ~WithoutFilePrivileges();
    WithoutFilePrivileges(const WithoutFilePrivileges&) = delete;
    WithoutFilePrivileges& operator=(const WithoutFilePrivileges&) = delete;

private:
    unsigned m_saved[6] = {}; // effective, permitted, inheritable of the two capability words
    bool m_dropped = false;
};
