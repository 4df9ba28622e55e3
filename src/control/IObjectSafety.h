#pragma once

#include <QUuid>
#include <QtGlobal>

// The control's answers to a host that asks whether it is safe to script the control and to
// initialise it from persisted data. The answers follow the library's two safety flags in the
// shared state.
class IObjectSafety
{
public:
    using HRESULT = qint32;
    static constexpr HRESULT S_OK = 0;
    static constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

    // Option bits.
    static constexpr quint32 INTERFACESAFE_FOR_UNTRUSTED_CALLER = 1; // safe for scripting
    static constexpr quint32 INTERFACESAFE_FOR_UNTRUSTED_DATA = 2;   // safe for initialising

    // The options supported for an interface and those enabled. A null interface gives only
    // the supported options.
    HRESULT GetInterfaceSafetyOptions(const QUuid *iid, quint32 &supportedOptions,
                                      quint32 &enabledOptions) const;
    // Asks for options to be enabled; fails when the control cannot promise them.
    HRESULT SetInterfaceSafetyOptions(const QUuid *iid, quint32 optionSetMask,
                                      quint32 enabledOptions) const;

    static const QUuid IID_IDispatch;
    static const QUuid IID_IPersistStorage;
    static const QUuid IID_IPersistStream;
    static const QUuid IID_IPersistPropertyBag;

private:
    enum class Kind { Dispatch, Persistence, Other };
    static Kind kindOf(const QUuid &iid);
};
