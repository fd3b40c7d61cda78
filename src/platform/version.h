#pragma once

namespace qm {

// The program's name and the version written into the files it creates.
inline constexpr char kProgramName[] = "Quillmark";
inline constexpr char kProgramVersion[] = "2.0";
inline constexpr char kFileVersion[] = "2.04s";

} // namespace qm
