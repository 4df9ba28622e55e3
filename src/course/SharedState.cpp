#include "course/SharedState.h"

#include "course/CipherComponent.h"
#include "course/LoginCipher.h"
#include "transport/cFTP.h"

SharedState::SharedState() = default;
SharedState::~SharedState() = default;
SharedState &SharedState::operator=(SharedState &&other) noexcept = default;

SharedState &SharedState::instance()
{
    static SharedState state;
    return state;
}

void SharedState::reset()
{
    // Assign in place, so references to the state stay valid.
    instance() = SharedState();
}
