// The lead bytes the mail headers cut by, against the system's own tables.
#include <gtest/gtest.h>
#include <windows.h>

#include "net/rfc2047.h"

namespace tarnwick::net {
namespace {

TEST(CodePages, LeadBytesMatchTheSystem) {
  for (unsigned code_page : {932u, 936u, 949u, 950u, 1252u, 65001u}) {
    SCOPED_TRACE(code_page);
    if (!IsValidCodePage(code_page)) {
      ADD_FAILURE() << "code page not installed";
      continue;
    }
    for (int byte = 0; byte < 256; ++byte) {
      EXPECT_EQ(IsLeadByte(code_page, static_cast<unsigned char>(byte)),
                IsDBCSLeadByteEx(code_page, static_cast<BYTE>(byte)) != FALSE)
          << "byte " << byte;
    }
  }
}

}  // namespace
}  // namespace tarnwick::net
