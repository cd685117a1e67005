// The encoding the console shows and types: GBK on a Chinese GBK console,
// UTF-8 elsewhere.
#pragma once

enum class Console_Encoding { kUtf8, kGbk };
