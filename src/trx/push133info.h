#pragma once

#include "trx/streamio.h"

#include <QDateTime>
#include <QMetaType>
#include <QString>

namespace trx {

// Payload of push 133; carried only.
struct Push133Info
{
    QString text1;
    QString text2;
    QString text3;
    QString text4;
    QString text5;
    qint32 int6 = 0;
    QDateTime time7;
    QDateTime time8;
    QDateTime time9;
    QString text10;
};

bool operator==(const Push133Info &a, const Push133Info &b);
bool operator!=(const Push133Info &a, const Push133Info &b);

QDataStream &operator<<(QDataStream &s, const Push133Info &v);
QDataStream &operator>>(QDataStream &s, Push133Info &v);

template<> struct WireMin<Push133Info>
{
    static constexpr qint64 bytes = 5 * 4 + 4 + 3 * 13 + 4;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::Push133Info)
