// The 20 region entry points handed to the kernel library at the first process attach.
#pragma once
#include "qskrn.h"

const KrnRgnEntry* RegionEntryTable();
