// window.external as page script reaches it: GetIDsOfNames, then Invoke with the arguments
// last-first, through the object the site hands out from GetExternal.
#include "CWebBrowser.h"
#include "DispatchArgs.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// How page script calls a method: as a method or a property read.
constexpr WORD kScriptCall = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

struct Call {
    unsigned dispid;
    std::vector<std::wstring> args;
};

class BridgeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(site.AddExternalName(L"pelvar_title"));
        IDispatch* got = nullptr;
        ASSERT_EQ(S_OK, site.GetExternal(&got));
        external = got;
    }
    void Bind(std::wstring answer = L"")
    {
        site.SetExternalHandler([this, answer](unsigned dispid, const std::vector<std::wstring>& args) {
            calls.push_back({dispid, args});
            return answer;
        });
    }
    DISPID IdOf(const wchar_t* name)
    {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = 0;
        external->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
        return id;
    }

    CWebBrowser site;
    IDispatch* external = nullptr;
    std::vector<Call> calls;
};

}  // namespace

TEST_F(BridgeTest, OnlyTheFirstNameIsRegisteredAndTheObjectCountsItsReferences)
{
    EXPECT_FALSE(site.AddExternalName(L"pelvar_title"));
    EXPECT_FALSE(site.AddExternalName(L"other"));
    EXPECT_EQ(1u, site.bridge.names.size());
    EXPECT_EQ(L"pelvar_title", site.bridge.names.at(3000));

    LPOLESTR names[] = {const_cast<LPOLESTR>(L"pelvar_title"), const_cast<LPOLESTR>(L"other"),
                        const_cast<LPOLESTR>(L"PELVAR_TITLE"), const_cast<LPOLESTR>(L"pelvar_title")};
    DISPID ids[4] = {};
    EXPECT_EQ(DISP_E_UNKNOWNNAME, external->GetIDsOfNames(IID_NULL, names, 4, 0, ids));
    EXPECT_EQ(3000, ids[0]);
    EXPECT_EQ(DISPID_UNKNOWN, ids[1]);
    EXPECT_EQ(DISPID_UNKNOWN, ids[2]) << "names are case-sensitive";
    EXPECT_EQ(3000, ids[3]);
    EXPECT_EQ(S_OK, external->GetIDsOfNames(IID_NULL, names, 1, 0, ids));

    // Identity and counting.
    void* object = reinterpret_cast<void*>(1);
    const int before = site.bridge.refCount;
    EXPECT_EQ(S_OK, external->QueryInterface(IID_IDispatch, &object));
    EXPECT_EQ(external, object);
    EXPECT_EQ(S_OK, external->QueryInterface(IID_IUnknown, &object));
    EXPECT_EQ(before, site.bridge.refCount) << "QueryInterface does not count";
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_FAIL, external->QueryInterface(IID_IOleClientSite, &object));
    EXPECT_EQ(reinterpret_cast<void*>(1), object);
    UINT count = 9;
    EXPECT_EQ(E_FAIL, external->GetTypeInfoCount(&count));
    EXPECT_EQ(9u, count);
    EXPECT_EQ(static_cast<ULONG>(before + 1), external->AddRef());
    EXPECT_EQ(static_cast<ULONG>(before), external->Release());
    EXPECT_EQ(static_cast<ULONG>(before - 1), external->Release());
}

TEST_F(BridgeTest, ArgumentsArriveInCallOrderAndTheAnswerReturns)
{
    Bind(L"done");
    const DISPID id = IdOf(L"pelvar_title");
    ASSERT_EQ(3000, id);

    UniqueVariant result;
    DispatchArgs one;
    one.Text(L"Harrowmere - realm 7");
    EXPECT_EQ(S_OK, one.Invoke(external, id, result.Put(), kScriptCall));
    ASSERT_EQ(VT_BSTR, result.Get().vt);
    EXPECT_STREQ(L"done", result.Get().bstrVal);

    DispatchArgs two;
    two.Text(L"a").Text(L"b");
    EXPECT_EQ(S_OK, two.Invoke(external, id, result.Put(), kScriptCall));
    DispatchArgs none;
    EXPECT_EQ(S_OK, none.Invoke(external, id, nullptr, kScriptCall));
    DispatchArgs withNull;
    withNull.Text(L"x").Text(nullptr).Text(L"y");
    EXPECT_EQ(S_OK, withNull.Invoke(external, id, nullptr, kScriptCall));

    ASSERT_EQ(4u, calls.size());
    EXPECT_EQ(3000u, calls[0].dispid);
    EXPECT_EQ(std::vector<std::wstring>{L"Harrowmere - realm 7"}, calls[0].args);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), calls[1].args);
    EXPECT_TRUE(calls[2].args.empty());
    EXPECT_EQ((std::vector<std::wstring>{L"x", L"y"}), calls[3].args) << "a null string is skipped";
}

TEST_F(BridgeTest, NonStringArgumentsAreConvertedOrPassedEmpty)
{
    Bind();
    VARIANT flag = TypedVariant(VT_BOOL);
    flag.boolVal = VARIANT_TRUE;
    VARIANT real = TypedVariant(VT_R8);
    real.dblVal = 1.5;
    VARIANT object = TypedVariant(VT_UNKNOWN);  // an object with no value to turn into text
    object.punkVal = static_cast<IDispatch*>(&site);
    UniqueBstr referenced(SysAllocString(L"by reference"));
    VARIANT byRef = TypedVariant(VT_BYREF | VT_BSTR);
    byRef.pbstrVal = &referenced.Get();
    DispatchArgs args;
    args.Plain(VT_I4, 42).Add(flag).Add(real).Add(TypedVariant(VT_NULL)).Add(object).Add(byRef)
        .Text(L"last");
    EXPECT_EQ(S_OK, args.Invoke(external, 3000, nullptr, DISPATCH_METHOD));
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ((std::vector<std::wstring>{L"42", L"True", L"1.5", L"", L"", L"by reference", L"last"}),
              calls[0].args);
}

TEST_F(BridgeTest, PropertyReadsUnboundHandlerAndFailuresAnswerQuietly)
{
    const DISPID id = IdOf(L"pelvar_title");
    UniqueVariant held(TypedVariant(VT_I4));
    VARIANT& result = held.Get();
    result.lVal = 77;
    DispatchArgs one;
    one.Text(L"t");
    // No handler yet: S_OK, result untouched.
    EXPECT_EQ(S_OK, one.Invoke(external, id, &result, kScriptCall));
    EXPECT_EQ(VT_I4, result.vt);
    EXPECT_EQ(77, result.lVal);

    Bind(L"");
    // An unknown id: S_OK, nothing called, result untouched.
    EXPECT_EQ(S_OK, one.Invoke(external, 3001, &result, kScriptCall));
    EXPECT_EQ(VT_I4, result.vt);
    // A property read alone yields VT_BOOL 1 and does not call the handler.
    EXPECT_EQ(S_OK, one.Invoke(external, id, &result, DISPATCH_PROPERTYGET));
    EXPECT_EQ(VT_BOOL, result.vt);
    EXPECT_EQ(1, result.boolVal);
    EXPECT_TRUE(calls.empty());
    // An empty answer reaches script as an empty string, not as nothing.
    EXPECT_EQ(S_OK, one.Invoke(external, id, &result, kScriptCall));
    ASSERT_EQ(VT_BSTR, result.vt);
    ASSERT_NE(nullptr, result.bstrVal);
    EXPECT_EQ(0u, SysStringLen(result.bstrVal));
    EXPECT_EQ(1u, calls.size());

    // A handler that throws still answers S_OK and leaves no result.
    site.SetExternalHandler([](unsigned, const std::vector<std::wstring>&) -> std::wstring {
        throw std::runtime_error("page call failed");
    });
    EXPECT_EQ(S_OK, one.Invoke(external, id, held.Put(), DISPATCH_METHOD));
    EXPECT_EQ(VT_EMPTY, result.vt);
    site.SetExternalHandler([](unsigned, const std::vector<std::wstring>&) -> std::wstring { throw 5; });
    EXPECT_EQ(S_OK, one.Invoke(external, id, &result, DISPATCH_METHOD));
}
