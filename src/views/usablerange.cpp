#include "views/usablerange.h"

void registerUsableRangeMetaTypes()
{
    static const bool done = [] {
        qRegisterMetaType<UsableRange>("UsableRange");
        qRegisterMetaType<QList<UsableRange>>("QList<UsableRange>");
        return true;
    }();
    Q_UNUSED(done)
}
