#include "OperatorSite.h"

#ifndef HM_OPERATOR_URL
#define HM_OPERATOR_URL L"http://127.0.0.1:18765"
#endif

namespace operator_site {

const wchar_t* Base()
{
    return HM_OPERATOR_URL;
}

std::wstring Address(const wchar_t* path)
{
    std::wstring address = Base();
    while (!address.empty() && address.back() == L'/') address.pop_back();
    if (path) address += path;
    return address;
}

}  // namespace operator_site
