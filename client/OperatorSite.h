#pragma once
#include <string>

// Addresses on the operator's web site. The scheme, host and port are a build setting
// (HM_OPERATOR_URL); the paths are fixed by the operator's site.
namespace operator_site {

inline constexpr const wchar_t* kStartPath = L"/diy/zelk/client";
inline constexpr const wchar_t* kOfficialSitePath = L"/url-zelk-www.html";
inline constexpr const wchar_t* kCustomerServicePath = L"/url-zelk-kf.html";
inline constexpr const wchar_t* kRechargePath = L"/url-zelk-pay.html";

// Scheme, host and port, without a trailing slash.
const wchar_t* Base();
// Base() followed by path.
std::wstring Address(const wchar_t* path);

}  // namespace operator_site
