// After a single-file conversion the window opens the movie's page as the
// player server serves it.
#include <gtest/gtest.h>
#include <httplib.h>

#include "FormTestSupport.h"
#include "play/PlayerFiles.h"

namespace movara::form {
namespace {

using namespace convert;
using namespace run;
using namespace play;

using test::Bytes;
using test::ConverterFixture;
using test::GifBuilder;

Bytes SmallGif() {
  return GifBuilder().Header(4, 2, {0xFF0000, 0x0000FF}).Frame(test::MakeFrame(0, 0, 4, 2, std::vector<std::uint8_t>(8, 1)))
      .Trailer()
      .Build();
}

httplib::Result Fetch(const std::string& url) {
  const std::size_t path = url.find('/', 7);
  httplib::Client client(url.substr(0, path));
  return client.Get(url.substr(path));
}

TEST(PlayInWindow, OpensTheServedPageWhoseMovieIsTheFile) {
  ConverterFixture fx;
  fx.GivePlayer();
  const auto gif = fx.WriteGif("clip.gif", SmallGif());
  ASSERT_EQ(fx.Convert(gif), crOk);
  ASSERT_EQ(fx.View.OpenedUrls.size(), 1u);
  const std::string url = fx.View.OpenedUrls[0];
  // One box says the movie was made and shows the page's address.
  ASSERT_EQ(fx.View.Messages.size(), 1u);
  EXPECT_EQ(fx.View.Messages[0].Text, std::string("The file clip.swf has been successfully created.\n\n") + msg::kPageOpened);
  EXPECT_EQ(fx.View.PlayedPages, std::vector<std::string>{url});
  EXPECT_TRUE(url.starts_with("http://127.0.0.1:")) << url;
  EXPECT_TRUE(url.ends_with("/clip.html")) << url;
  EXPECT_TRUE(fx.View.Opened.empty()) << "not the file";
  const auto page = Fetch(url);
  ASSERT_TRUE(page);
  EXPECT_NE(page->body.find("<script src=\"../player/ruffle.js\">"), std::string::npos);
  const auto movie = Fetch(url.substr(0, url.size() - 4) + "swf");
  ASSERT_TRUE(movie);
  const Bytes onDisk = ReadFileBytes(fx.MovieOf(gif));
  EXPECT_EQ(movie->body, std::string(onDisk.begin(), onDisk.end()));

  // The next conversion is served by the same server, in a folder of its
  // own: a movie of the same name from another folder does not replace it.
  const auto other = fx.WriteGif("clip.gif", SmallGif(), fx.Root / "other");
  fx.View.Selected = {other};
  ASSERT_EQ(fx.Form->ConvertNow(other, "again"), crOk);
  ASSERT_EQ(fx.View.OpenedUrls.size(), 2u);
  const std::string folder = url.substr(0, url.rfind('/', url.rfind('/') - 1));
  EXPECT_EQ(fx.View.OpenedUrls[1], folder + "/2/clip.html");
  EXPECT_EQ(Fetch(url)->status, 200) << "the first play is still served";
}

TEST(PlayInWindow, ABrowserThatDoesNotOpenIsReported) {
  ConverterFixture fx;
  fx.GivePlayer();
  fx.View.UrlOpens = false;
  ASSERT_EQ(fx.Convert(fx.WriteGif("clip.gif", SmallGif())), crOk);
  ASSERT_EQ(fx.View.OpenedUrls.size(), 1u);
  ASSERT_EQ(fx.View.Messages.size(), 1u);
  EXPECT_EQ(fx.View.Messages.back().Text, std::string("The file clip.swf has been successfully created.\n\n") + msg::kNoBrowser);
  EXPECT_EQ(fx.View.PlayedPages, fx.View.OpenedUrls) << "the address is shown to be opened by hand";
}

}  // namespace
}  // namespace movara::form
