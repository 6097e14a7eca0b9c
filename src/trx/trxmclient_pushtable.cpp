#include "trx/trxmclient.h"

#include "trx/records.h"

namespace trx {

// The push catalogue: one registerPushHandler(type, &TRXMClient::decoder) line per push type.
// Types without an entry (116 and 132 among them) are logged as unknown by the receive path.
void TRXMClient::registerPushHandlers()
{
    registerRecordMetaTypes();
    registerPushHandler(101, &TRXMClient::decodePush101);
    registerPushHandler(102, &TRXMClient::decodePush102);
    registerPushHandler(103, &TRXMClient::decodePush103);
    registerPushHandler(104, &TRXMClient::decodePush104);
    registerPushHandler(105, &TRXMClient::decodePush105);
    registerPushHandler(106, &TRXMClient::decodePush106);
    registerPushHandler(107, &TRXMClient::decodePush107);
    registerPushHandler(108, &TRXMClient::decodePush108);
    registerPushHandler(109, &TRXMClient::decodePush109);
    registerPushHandler(110, &TRXMClient::decodePush110);
    registerPushHandler(111, &TRXMClient::decodePush111);
    registerPushHandler(112, &TRXMClient::decodePush112);
    registerPushHandler(113, &TRXMClient::decodePush113);
    registerPushHandler(114, &TRXMClient::decodePush114);
    registerPushHandler(115, &TRXMClient::decodePush115);
    registerPushHandler(117, &TRXMClient::decodePush117);
    registerPushHandler(118, &TRXMClient::decodePush118);
    registerPushHandler(119, &TRXMClient::decodePush119);
    registerPushHandler(120, &TRXMClient::decodePush120);
    registerPushHandler(121, &TRXMClient::decodePush121);
    registerPushHandler(122, &TRXMClient::decodePush122);
    registerPushHandler(123, &TRXMClient::decodePush123);
    registerPushHandler(124, &TRXMClient::decodePush124);
    registerPushHandler(125, &TRXMClient::decodePush125);
    registerPushHandler(126, &TRXMClient::decodePush126);
    registerPushHandler(127, &TRXMClient::decodePush127);
    registerPushHandler(128, &TRXMClient::decodePush128);
    registerPushHandler(129, &TRXMClient::decodePush129);
    registerPushHandler(130, &TRXMClient::decodePush130);
    registerPushHandler(131, &TRXMClient::decodePush131);
    registerPushHandler(133, &TRXMClient::decodePush133);
    registerPushHandler(134, &TRXMClient::decodePush134);
    registerPushHandler(2001, &TRXMClient::decodePush2001);
    registerPushHandler(2002, &TRXMClient::decodePush2002);
    registerPushHandler(2003, &TRXMClient::decodePush2003);
    registerPushHandler(2004, &TRXMClient::decodePush2004);
    registerPushHandler(2005, &TRXMClient::decodePush2005);
    registerPushHandler(2006, &TRXMClient::decodePush2006);
    registerPushHandler(2007, &TRXMClient::decodePush2007);
    registerPushHandler(2008, &TRXMClient::decodePush2008);
    registerPushHandler(2009, &TRXMClient::decodePush2009);
    registerPushHandler(2999, &TRXMClient::decodePush2999);
}

} // namespace trx
