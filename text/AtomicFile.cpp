// Placeholder until implemented.
#include "text/AtomicFile.h"
CAtomicFile::CAtomicFile(const std::filesystem::path& target) : m_pathTarget(target), m_pFile(nullptr), m_bFailed(true) {}
CAtomicFile::~CAtomicFile() = default;
bool CAtomicFile::IsOpen() const { return false; }
bool CAtomicFile::Write(const void*, size_t) { return false; }
bool CAtomicFile::Commit() { return false; }
