// Placeholder until implemented.
#include "text/TextBuffer.h"
CTextBuffer::CTextBuffer() : m_nLength(0), m_pText(nullptr) {}
CTextBuffer::~CTextBuffer() { Free(); }
void CTextBuffer::Free() { delete[] m_pText; m_pText = nullptr; m_nLength = 0; }
int CTextBuffer::Load(const std::filesystem::path&, int) { Free(); return 0; }
bool CTextBuffer::Save(const std::filesystem::path&) const { return false; }
bool CTextBuffer::SaveText(const std::filesystem::path&, std::u16string_view) { return false; }
void CTextBuffer::Assign(std::u16string_view) { Free(); }
