#include "platform/screen.h"

#include "platform/form.h"
#include "platform/program.h"

namespace platform {

ScreenDimension::operator float() const
{
    const ScreenSize size = Program::current().backend().screenSize();
    return static_cast<float>(horizontal_ ? size.width : size.height) * twipsPerPixel;
}

} // namespace platform
