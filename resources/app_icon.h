// The application icon's resource identifier, shared by both programs.
#pragma once

#define IDI_APP 1
