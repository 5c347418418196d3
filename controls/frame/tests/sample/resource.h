#pragma once

#define IDR_SAMPLE 102
#define IDR_COUNTER 103
