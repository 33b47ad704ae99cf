#include "PrivateTempFolder.h"

#include "UniqueHandle.h"

#include <string>
#include <vector>

namespace {

bool TokenPart(TOKEN_INFORMATION_CLASS part, std::vector<BYTE>& buffer)
{
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()))
        return false;
    DWORD size = 0;
    GetTokenInformation(token.Get(), part, nullptr, 0, &size);
    if (size == 0)
        return false;
    buffer.resize(size);
    return GetTokenInformation(token.Get(), part, buffer.data(), size, &size) != FALSE;
}

}  // namespace

std::vector<BYTE> PrivateTempFolder::AccessList()
{
    std::vector<BYTE> user;
    BYTE administrators[SECURITY_MAX_SID_SIZE] = {};
    BYTE system[SECURITY_MAX_SID_SIZE] = {};
    DWORD administratorsSize = sizeof administrators, systemSize = sizeof system;
    if (!TokenPart(TokenUser, user) ||
        !CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &administratorsSize) ||
        !CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &systemSize))
        return std::vector<BYTE>();
    const PSID grantees[] = {reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, administrators, system};
    DWORD size = sizeof(ACL);
    for (PSID sid : grantees)
        size += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(sid);
    std::vector<BYTE> list(size);
    ACL* acl = reinterpret_cast<ACL*>(list.data());
    if (!InitializeAcl(acl, size, ACL_REVISION))
        return std::vector<BYTE>();
    for (PSID sid : grantees)
        if (!AddAccessAllowedAceEx(acl, ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE,
                                   FILE_ALL_ACCESS, sid))
            return std::vector<BYTE>();
    return list;
}

std::vector<BYTE> PrivateTempFolder::IntegrityLabel()
{
    std::vector<BYTE> level;
    if (!TokenPart(TokenIntegrityLevel, level))
        return std::vector<BYTE>();
    const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(level.data())->Label.Sid;
    const DWORD size = sizeof(ACL) + sizeof(SYSTEM_MANDATORY_LABEL_ACE) - sizeof(DWORD) + GetLengthSid(sid);
    std::vector<BYTE> list(size);
    ACL* acl = reinterpret_cast<ACL*>(list.data());
    if (!InitializeAcl(acl, size, ACL_REVISION) ||
        !AddMandatoryAce(acl, ACL_REVISION, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE,
                         SYSTEM_MANDATORY_LABEL_NO_WRITE_UP, sid))
        return std::vector<BYTE>();
    return list;
}

std::wstring PrivateTempFolder::Create(const wchar_t* prefix)
{
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH)
        return std::wstring();

    // Protected: nothing is inherited from the temporary folder.
    std::vector<BYTE> acl = AccessList();
    SECURITY_DESCRIPTOR descriptor = {};
    if (acl.empty() || !InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, reinterpret_cast<ACL*>(acl.data()), FALSE) ||
        !SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED))
        return std::wstring();
    std::vector<BYTE> label = IntegrityLabel();
    if (!label.empty())
        SetSecurityDescriptorSacl(&descriptor, TRUE, reinterpret_cast<ACL*>(label.data()), FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, FALSE};
    const std::wstring base = std::wstring(temp) + prefix + L"-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int n = 0; n < 100; ++n) {
        const std::wstring folder = base + std::to_wstring(n);
        if (CreateDirectoryW(folder.c_str(), &attributes))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return std::wstring();
}
