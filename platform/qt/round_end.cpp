#include "platform/qt/round_end.h"

#include <QAbstractEventDispatcher>

namespace platform {

void onEveryRoundEnd(QObject& context, const std::function<void()>& check)
{
    // The application makes its thread's dispatcher: no window or timer exists before.
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher)
        return;
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &context, check);
    QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, &context, check);
}

} // namespace platform
