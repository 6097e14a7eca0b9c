#pragma once

#include "trx/clipinfo.h"
#include "trx/floatsample.h"
#include "trx/masterportsync.h"
#include "trx/mgwfolderinfo.h"
#include "trx/mgwinfo.h"
#include "trx/portstate.h"
#include "trx/push133info.h"
#include "trx/recordtraininfo.h"
#include "trx/scheduledestination.h"
#include "trx/scheduleinfo.h"
#include "trx/schedulerequest.h"
#include "trx/serverinfo.h"
#include "trx/serverintblock.h"
#include "trx/serverport.h"
#include "trx/serversettings.h"
#include "trx/streamio.h"
#include "trx/vfldetail.h"
#include "trx/vflobject.h"

namespace trx {

// Registers the records (and the lists of them that travel through queued calls) with the meta
// type system, under the names queued connections look them up by. Safe to call repeatedly.
void registerRecordMetaTypes();

} // namespace trx
