#include "control/IObjectSafety.h"
#include "course/SharedState.h"
#include "support/VellixTest.h"

#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr auto Ok = IObjectSafety::S_OK;
constexpr auto Fail = IObjectSafety::E_FAIL;
constexpr quint32 Untouched = 0xDEADBEEF;
const QUuid Dispatch(u"{00020400-0000-0000-C000-000000000046}"_s);
const QUuid Storage(u"{0000010a-0000-0000-c000-000000000046}"_s);
const QUuid Stream(u"{00000109-0000-0000-C000-000000000046}"_s);
const QUuid Bag(u"{37D84F60-42CB-11CE-8135-00AA004BB851}"_s);
const QUuid Other(u"{00000000-0000-0000-C000-000000000046}"_s);

struct Case
{
    std::optional<QUuid> iid;
    bool safeForScripting, safeForInitializing;
    quint32 mask, options;
    quint32 enabled; // what the get call reports
    IObjectSafety::HRESULT setResult;
};

} // namespace

using ObjectSafetyTest = VellixTest;

TEST_F(ObjectSafetyTest, AnswersPerInterface)
{
    const Case cases[] = {
        {Dispatch, true, true, 1, 1, 1, Ok},
        {Dispatch, true, true, 3, 1, 1, Ok}, // only the masked options count
        {Dispatch, false, true, 1, 1, 0, Fail},
        {Dispatch, true, true, 3, 3, 1, Fail},
        {Dispatch, true, true, 0, 0, 1, Fail},
        {Storage, true, true, 2, 2, 2, Ok},
        {Stream, false, true, 2, 3, 2, Ok},
        {Bag, true, true, 3, 2, 2, Ok},
        {Bag, true, false, 2, 2, 0, Fail},
        {Bag, true, true, 1, 1, 2, Fail},
        {Bag, true, true, 3, 3, 2, Fail},
        {Other, false, false, 3, 3, Untouched, Ok},
        {std::nullopt, false, false, 3, 3, Untouched, Ok},
    };
    IObjectSafety safety;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << &c - cases);
        Shared().SafeForScripting = c.safeForScripting;
        Shared().SafeForInitializing = c.safeForInitializing;
        const QUuid *iid = c.iid ? &*c.iid : nullptr;
        quint32 supported = Untouched;
        quint32 enabled = Untouched;
        const auto got = safety.GetInterfaceSafetyOptions(iid, supported, enabled);
        EXPECT_EQ(std::tuple(got, supported, enabled), std::tuple(Ok, 3u, c.enabled));
        EXPECT_EQ(safety.SetInterfaceSafetyOptions(iid, c.mask, c.options), c.setResult);
    }
}
