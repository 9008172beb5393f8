// The one line that differs between the deliverables; each links its own.
#pragma once

extern const char create_volume_line[];
