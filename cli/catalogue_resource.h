// The RCDATA resource of tarvoconv.exe that holds a message catalogue, in
// one language per catalogue (Russian, Ukrainian).
#pragma once

#define TARVOCONV_CATALOGUE 1
