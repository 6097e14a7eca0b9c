#pragma once

#include "trx/recordtraininfo.h"

namespace trx {

// A clip cut from a record train: the train's fields, then the clip's own (all carried).
class ClipInfo : public RecordTrainInfo
{
public:
    ClipInfo() = default;
    ClipInfo(const ClipInfo &) = default;
    ClipInfo &operator=(const ClipInfo &) = default;
    ~ClipInfo() override;

    QString text41;
    QString text42;
    bool flag43 = false;
    qint32 int44 = -1;
    QString text45;
    qint32 int46 = 0;
    qint16 short47 = -1;
};

bool operator==(const ClipInfo &a, const ClipInfo &b);
bool operator!=(const ClipInfo &a, const ClipInfo &b);

QDataStream &operator<<(QDataStream &s, const ClipInfo &v);
QDataStream &operator>>(QDataStream &s, ClipInfo &v);

template<> struct WireMin<ClipInfo>
{
    static constexpr qint64 bytes = WireMin<RecordTrainInfo>::bytes + 23;
};

} // namespace trx

Q_DECLARE_METATYPE(trx::ClipInfo)
