#pragma once

#include "trx/vfldetail.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVector>

namespace trx {

// Carried by pushes 121 and 123; nothing here reads its fields.
class VflObject
{
public:
    VflObject() = default;
    VflObject(const VflObject &) = default;
    VflObject &operator=(const VflObject &) = default;
    virtual ~VflObject();

    QVector<VflDetail> details1;
    QString text2;
    QString text3;
    VflDetail detail4;
    QList<QString> texts5 = QList<QString>() << QString() << QString() << QString() << QString() << QString();
    qint32 int6 = -1;
    qint32 int7 = 0;
    qint32 int8 = 9;
    qint32 int9 = 9;
};

bool operator==(const VflObject &a, const VflObject &b);
bool operator!=(const VflObject &a, const VflObject &b);

QDataStream &operator<<(QDataStream &s, const VflObject &v);
QDataStream &operator>>(QDataStream &s, VflObject &v);

template<> struct WireMin<VflObject>
{
    static constexpr qint64 bytes = 4 + 8 + WireMin<VflDetail>::bytes + 4 + 16;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::VflObject)
