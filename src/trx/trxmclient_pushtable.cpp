#include "trx/trxmclient.h"

namespace trx {

// The push catalogue: one registerPushHandler(type, &TRXMClient::decoder) line per push type.
// Types without an entry are logged as unknown by the receive path.
void TRXMClient::registerPushHandlers() {}

} // namespace trx
