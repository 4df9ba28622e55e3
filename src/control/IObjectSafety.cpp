#include "control/IObjectSafety.h"

#include "course/SharedState.h"

namespace {

constexpr quint32 SupportedOptions = IObjectSafety::INTERFACESAFE_FOR_UNTRUSTED_CALLER |
                                     IObjectSafety::INTERFACESAFE_FOR_UNTRUSTED_DATA;

} // namespace

const QUuid IObjectSafety::IID_IDispatch(QStringLiteral("{00020400-0000-0000-C000-000000000046}"));
const QUuid
    IObjectSafety::IID_IPersistStorage(QStringLiteral("{0000010A-0000-0000-C000-000000000046}"));
const QUuid
    IObjectSafety::IID_IPersistStream(QStringLiteral("{00000109-0000-0000-C000-000000000046}"));
const QUuid IObjectSafety::IID_IPersistPropertyBag(
    QStringLiteral("{37D84F60-42CB-11CE-8135-00AA004BB851}"));

IObjectSafety::Kind IObjectSafety::kindOf(const QUuid &iid)
{
    if (iid == IID_IDispatch)
        return Kind::Dispatch;
    if (iid == IID_IPersistStorage || iid == IID_IPersistStream || iid == IID_IPersistPropertyBag)
        return Kind::Persistence;
    return Kind::Other;
}

IObjectSafety::HRESULT IObjectSafety::GetInterfaceSafetyOptions(const QUuid *iid,
                                                                quint32 &supportedOptions,
                                                                quint32 &enabledOptions) const
{
    supportedOptions = SupportedOptions;
    if (!iid)
        return S_OK;
    switch (kindOf(*iid)) {
    case Kind::Dispatch:
        enabledOptions = Shared().SafeForScripting ? INTERFACESAFE_FOR_UNTRUSTED_CALLER : 0;
        break;
    case Kind::Persistence:
        enabledOptions = Shared().SafeForInitializing ? INTERFACESAFE_FOR_UNTRUSTED_DATA : 0;
        break;
    case Kind::Other:
        break;
    }
    return S_OK;
}

IObjectSafety::HRESULT IObjectSafety::SetInterfaceSafetyOptions(const QUuid *iid,
                                                                quint32 optionSetMask,
                                                                quint32 enabledOptions) const
{
    if (!iid)
        return S_OK;
    const quint32 requested = optionSetMask & enabledOptions;
    switch (kindOf(*iid)) {
    case Kind::Dispatch:
        return requested == INTERFACESAFE_FOR_UNTRUSTED_CALLER && Shared().SafeForScripting
                   ? S_OK
                   : E_FAIL;
    case Kind::Persistence:
        return requested == INTERFACESAFE_FOR_UNTRUSTED_DATA && Shared().SafeForInitializing
                   ? S_OK
                   : E_FAIL;
    case Kind::Other:
        return S_OK;
    }
    return E_FAIL;
}
