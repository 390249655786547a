#pragma once

#include "platform/program.h"

namespace orvanta {

// The single instance of a window class for this run. Reaching a window loads it first,
// as every operation on a window does.
template <class W>
W& window()
{
    W& form = platform::Program::current().single<W>();
    form.Load();
    return form;
}

} // namespace orvanta
