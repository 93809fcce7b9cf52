#pragma once

#include <QString>

namespace glowline {

// The path of the Intel HEX file the assembler writes for a sequence file. The
// assembler replaces a final ".asm" of the name, in any letter case, with
// ".hex" and appends ".hex" to any other name: "run.asm" and "run.ASM" give
// "run.hex", "seq.inc" gives "seq.inc.hex", "My.Data/run" gives
// "My.Data/run.hex". Only the end of the path counts, so either separator will
// do.
QString hexPathFor(const QString &sequencePath);

} // namespace glowline
