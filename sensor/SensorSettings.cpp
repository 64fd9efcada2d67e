#include "sensor/SensorSettings.h"

// The settings are plain data; this unit keeps the sensor library linkable on its own.
static_assert(kFilterCount == 5);
