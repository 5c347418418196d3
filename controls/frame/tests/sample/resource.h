#pragma once

#define IDR_SAMPLE 102
