// The request message, the frames and the hello as bytes: sizes at the
// edges, fields without their NUL, hostile lengths and names.
#include <gtest/gtest.h>

#include <cstring>

#include "remote/request_message.h"

namespace lyricade {
namespace {

std::string Request(size_t size, const std::string& path, const std::string& singer, int32_t key,
                    uint32_t type = 1) {
  std::string payload(size, '\0');
  auto put = [&](size_t offset, const void* bytes, size_t length) {
    std::memcpy(payload.data() + offset, bytes, std::min(length, size - std::min(size, offset)));
  };
  put(0, &type, 4);
  put(RequestLayout::PathOffset, path.data(), path.size());
  put(RequestLayout::SingerOffset, singer.data(), singer.size());
  if (size >= RequestLayout::KeyOffset + 4) put(RequestLayout::KeyOffset, &key, 4);
  return payload;
}

TEST(RequestMessage, OnlySongRequestsOfTheLayoutsSizesAreRead) {
  for (size_t size : {3352u, 3356u}) {
    const auto request = ParseSongRequest(Request(size, "/songs/a.mp3", "Ana", -2));
    ASSERT_TRUE(request) << size;
    EXPECT_EQ(request->Path, "/songs/a.mp3");
    EXPECT_EQ(request->Singer, "Ana");
    EXPECT_EQ(request->Key, -2);
  }
  EXPECT_FALSE(ParseSongRequest(Request(3357, "/songs/a.mp3", "Ana", 0)));
  EXPECT_FALSE(ParseSongRequest(Request(3351, "/songs/a.mp3", "Ana", 0)));
  EXPECT_FALSE(ParseSongRequest(Request(400, "/songs/a.mp3", "", 0)));
  EXPECT_FALSE(ParseSongRequest(""));
  EXPECT_FALSE(ParseSongRequest(Request(3356, "/songs/a.mp3", "Ana", 0, 2)));
  // What the client encodes, the server reads.
  const auto encoded = ParseSongRequest(EncodeSongRequest("/x/it's.zip", "Bo", 3));
  ASSERT_TRUE(encoded);
  EXPECT_EQ(encoded->Path, "/x/it's.zip");
  EXPECT_EQ(encoded->Singer, "Bo");
  EXPECT_EQ(encoded->Key, 3);
}

TEST(RequestMessage, FieldsWithoutTheirNulEndAtTheFieldAndNamesAreMadeSafe) {
  // Both text fields filled to their last byte: neither reads into the next.
  const std::string longPath(RequestLayout::SingerOffset - RequestLayout::PathOffset, 'p');
  const std::string longSinger(RequestLayout::KeyOffset - RequestLayout::SingerOffset, 's');
  auto request = ParseSongRequest(Request(3356, longPath, longSinger, 9));
  ASSERT_TRUE(request);
  EXPECT_EQ(request->Path, longPath);
  EXPECT_EQ(request->Singer, std::string(99, 's'));
  EXPECT_EQ(request->Key, 4);
  request = ParseSongRequest(Request(3356, "/a.mp3", "Ana\r\nB\tc", -100));
  ASSERT_TRUE(request);
  EXPECT_EQ(request->Singer, "Ana  B c");
  EXPECT_EQ(request->Key, -4);
  // 8-bit names from an older client arrive as Latin-1.
  request = ParseSongRequest(Request(3356, "/a.mp3", "Jos\xe9", 0));
  ASSERT_TRUE(request);
  EXPECT_EQ(request->Singer, "Jos\xc3\xa9");
}

TEST(RequestMessage, FramesAreCutFromAnyChunkingAndOversizedLengthsFailAtOnce) {
  const std::string stream = Frame("one") + Frame("") + Frame("xxxxx");
  FrameReader reader;
  for (char byte : stream) ASSERT_TRUE(reader.Append(std::string_view(&byte, 1)));
  EXPECT_EQ(reader.Next(), "one");
  EXPECT_EQ(reader.Next(), "");
  EXPECT_EQ(reader.Next(), "xxxxx");
  EXPECT_FALSE(reader.Next());

  // Nothing of a frame longer than 64 KiB is kept.
  FrameReader hostile;
  EXPECT_TRUE(hostile.Append(Frame(std::string(kMaximumFrameLength, 'a'))));
  EXPECT_FALSE(hostile.Append(std::string_view("\x01\x00\x01\x00", 4)));  // 65537
  EXPECT_TRUE(hostile.Failed());
  EXPECT_EQ(hostile.Buffered(), 0u);
  EXPECT_FALSE(hostile.Next());
}

TEST(RequestMessage, HelloAndDiscoveryReadBackAndRefuseDamage) {
  const Hello hello{std::string(kRequestAppGuid), "Friday Night", "Table 7"};
  const auto read = ParseHello(EncodeHello(hello));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->Guid, hello.Guid);
  EXPECT_EQ(read->Session, "Friday Night");
  EXPECT_EQ(read->Player, "Table 7");
  std::string truncated = EncodeHello(hello);
  truncated.pop_back();
  EXPECT_FALSE(ParseHello(truncated));
  EXPECT_FALSE(ParseHello(EncodeHello(hello) + "x"));
  EXPECT_FALSE(ParseHello(std::string(kRequestAppGuid) + "\xff\xff\xff\xff"));
  EXPECT_FALSE(ParseHello(EncodeHello({hello.Guid, std::string(1024, 'n'), ""})));

  EXPECT_TRUE(IsDiscoveryEnquiry(EncodeDiscoveryEnquiry()));
  EXPECT_FALSE(IsDiscoveryEnquiry("FIND {00000000-0000-0000-0000-000000000000}\n"));
  const auto answer = ParseDiscoveryAnswer(EncodeDiscoveryAnswer({"RequestTool", 2507}));
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->Session, "RequestTool");
  EXPECT_EQ(answer->Port, 2507);
  EXPECT_FALSE(ParseDiscoveryAnswer(EncodeDiscoveryAnswer({"x", 70000})));
  EXPECT_FALSE(ParseDiscoveryAnswer("HOST {EDE9493E-6AC8-4F15-8D01-8B163200B966}\n"));
  EXPECT_EQ(FirstCharacters("Zo\xc3\xab and the band", 4), "Zo\xc3\xab ");
}

}  // namespace
}  // namespace lyricade
