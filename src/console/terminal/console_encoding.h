// The encoding the console shows and types: GBK or GB18030 on a Chinese
// console of that kind, UTF-8 elsewhere. GB18030 contains GBK, so the texts
// are the same GBK bytes for both; only reading tells them apart.
#pragma once

enum class Console_Encoding { kUtf8, kGbk, kGb18030 };
