#include "common/status.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(Status, DefaultAndOkCarryNoMessage) {
  EXPECT_TRUE(Status().ok());
  EXPECT_EQ(Status().code(), StatusCode::kOk);
  EXPECT_EQ(Status::Ok().ToString(), "ok");
  // An error made with the ok code is ok: its message would never be read.
  const Status s = Status::Error(StatusCode::kOk, "ignored");
  EXPECT_TRUE(s.ok());
  EXPECT_TRUE(s.message().empty());
}

TEST(Status, EachFactoryGivesItsCodeAndKeepsTheMessage) {
  const struct {
    Status status;
    StatusCode code;
  } cases[] = {
      {Status::NotFound("m"), StatusCode::kNotFound},
      {Status::AlreadyExists("m"), StatusCode::kAlreadyExists},
      {Status::InvalidArgument("m"), StatusCode::kInvalidArgument},
      {Status::TooLarge("m"), StatusCode::kTooLarge},
      {Status::ReadOnly("m"), StatusCode::kReadOnly},
      {Status::Busy("m"), StatusCode::kBusy},
      {Status::Corruption("m"), StatusCode::kCorruption},
      {Status::IoError("m"), StatusCode::kIoError},
      {Status::Full("m"), StatusCode::kFull},
      {Status::Cancelled("m"), StatusCode::kCancelled},
      {Status::Error(StatusCode::kBusy, "m"), StatusCode::kBusy},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(c.status.ok()) << StatusCodeName(c.code);
    EXPECT_EQ(c.status.code(), c.code);
    EXPECT_EQ(c.status.message(), "m");
  }
  EXPECT_TRUE(Status::NotFound().IsNotFound());
  EXPECT_FALSE(Status::NotFound().IsCorruption());
  EXPECT_TRUE(Status::Corruption("x").IsCorruption());
}

TEST(Status, TextNamesTheCodeAndContextGoesInFront) {
  EXPECT_EQ(Status::Corruption("page 3: leaf flag 7").ToString(), "corruption: page 3: leaf flag 7");
  EXPECT_EQ(Status::NotFound().ToString(), "not found");
  const Status s = Status::IoError("block 2 cannot be read").WithContext("a.bod");
  EXPECT_EQ(s.code(), StatusCode::kIoError);
  EXPECT_EQ(s.message(), "a.bod: block 2 cannot be read");
  EXPECT_TRUE(Status().WithContext("a.bod").ok());
  EXPECT_TRUE(Status().WithContext("a.bod").message().empty());
}

TEST(Status, CopiesOwnTheirMessageAndMovesLeaveAnUsableStatus) {
  Status a = Status::Corruption("segment 7");
  Status b = a;  // a copy outlives its source
  a = Status::Ok();
  EXPECT_TRUE(a.ok());
  EXPECT_TRUE(a.message().empty());
  EXPECT_EQ(b.ToString(), "corruption: segment 7");
  const Status& same = b;
  b = same;  // assigned to itself: unchanged
  EXPECT_EQ(b.message(), "segment 7");
  Status c = std::move(b);
  EXPECT_EQ(c.message(), "segment 7");
  b = Status::NotFound("other");  // a moved-from status takes a new value
  EXPECT_EQ(b.ToString(), "not found: other");
  c = b;  // an error over an error
  EXPECT_EQ(c.message(), "other");
  EXPECT_EQ(b.message(), "other");
}

}  // namespace
}  // namespace kv
