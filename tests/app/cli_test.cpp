// vendrake-cli end to end: a crawl of the local test server, an interrupted
// run resumed, the machine-readable task view, and bad input.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli_fixture.h"
#include "core/model/task.h"
#include "core/model/task_factory.h"
#include "support/child_process.h"
#include "support/loopback_port.h"
#include "support/temp_dir.h"
#include "support/test_server.h"
#include "support/tiny_proxy.h"

namespace vdk::test {
namespace {

class CliTest : public CliFixture {
 protected:
  static std::string Hex8(int n) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(n));
    return text;
  }
  static int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }
};

TEST_F(CliTest, RunCrawlsIntoTheHomeAndShowsTheTask) {
  const CliResult run = Run({"run", Url()});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(Saved(), (std::set<std::string>{"a.jpg", "b.jpg", "c.png"}));
  EXPECT_NE(run.out.find("Done after"), std::string::npos);
  EXPECT_NE(run.out.find("2 pages, 3 files"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("File \"a.jpg\" saved"), std::string::npos);  // not a terminal: log lines

  const CliResult show = Run({"show", TaskFile(), "--json", "--items"});
  ASSERT_EQ(show.code, 0) << show.err;
  WriteFile(home / "show.json", show.out);
  EXPECT_EQ(RunProgram({"python3", "-m", "json.tool", home / "show.json"}), 0) << show.out;
  EXPECT_NE(show.out.find("\"state\":\"done\""), std::string::npos);
  EXPECT_NE(show.out.find("\"saved_count\":3"), std::string::npos);
  EXPECT_NE(show.out.find("\"masks\":[\"gif, Saved\",\"jpg, Saved\","), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("\"exclude\":[]"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("\"url\":\"" + server.Url("/c.png") + "\""), std::string::npos);

  const CliResult list = Run({"list"});
  EXPECT_EQ(list.code, 0);
  EXPECT_NE(list.out.find("[done, 5/5 items]"), std::string::npos) << list.out;
}

// Texts are bytes as stored: those that are not UTF-8 come out as the
// characters of the same numbers, never as invalid output or an error.
TEST_F(CliTest, ShowJsonKeepsTheFieldsInOrderAndEveryText) {
  TTask task;
  task.Name = "caf\xe9";
  task.Note = "two\nlines, \"quoted\" \\ \x01";
  task.URL.SetURI(Url());
  task.TaskID = "{01234567-89AB-CDEF-0123-456789ABCDEF}";
  task.Options.FileMasks = {"gif, Saved", "jpg, Bilder \xc3\xa4"};
  task.SaveToFile(home / "task.wrp");
  const CliResult show = Run({"show", home / "task.wrp", "--json"});
  ASSERT_EQ(show.code, 0) << show.err;
  const auto json = nlohmann::ordered_json::parse(show.out);
  std::vector<std::string> keys;
  for (const auto& field : json.items()) keys.push_back(field.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"file", "name", "url", "note", "task_id", "saved_count", "options",
                                            "schedule", "items"}));
  EXPECT_EQ(json["name"], "caf\u00e9");
  EXPECT_EQ(json["note"], task.Note);
  EXPECT_EQ(json["options"]["masks"], (std::vector<std::string>{"gif, Saved", "jpg, Bilder \u00e4"}));
  EXPECT_EQ(json["options"]["save_folder"], "/tmp/");
  EXPECT_EQ(json["items"]["state"], "new");
  EXPECT_EQ(json["schedule"]["description"], "none");
}

// Bytes that are not UTF-8 (a Latin-1 letter, a surrogate, an overlong form)
// in the texts of a task file still give valid JSON.
TEST_F(CliTest, ShowJsonIsValidWhateverBytesTheTaskHolds) {
  TTask task;
  task.Name = "caf\xe9";
  task.Note = "half \xed\xa0\x80 of a pair, overlong \xc0\xaf, cut \xe2\x82";
  task.URL.SetURI("http://127.0.0.1/caf\xe9/\xff.html");
  task.Items.Add(std::make_shared<TTaskItem>(&task, "http://127.0.0.1/\xed\xbf\xbf.jpg"));
  task.SaveToFile(home / "bytes.wrp");
  const CliResult show = Run({"show", home / "bytes.wrp", "--json", "--items"});
  ASSERT_EQ(show.code, 0) << show.err;
  EXPECT_TRUE(nlohmann::json::accept(show.out)) << show.out;  // the parser refuses text that is not UTF-8
  EXPECT_NE(show.out.find("\"name\":\"caf\xc3\xa9\""), std::string::npos) << show.out;  // the byte as its character
}

// A task without a proxy of its own goes through the proxy of the settings.
TEST_F(CliTest, RunGoesThroughTheSettingsProxy) {
  ASSERT_EQ(Run({"settings", "show"}).code, 0);  // a first start writes the default settings
  TinyProxy proxy;
  std::string store = ReadFile(home / "registry.reg");
  for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
           {"\"UseProxyServer\"=dword:00000000", "\"UseProxyServer\"=dword:00000001"},
           {"\"ProxyServerAddr\"=\"192.168.0.1\"", "\"ProxyServerAddr\"=\"127.0.0.1\""},
           {"\"ProxyServerPort\"=dword:00000050", "\"ProxyServerPort\"=dword:" + Hex8(proxy.Port())}}) {
    const auto at = store.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    store.replace(at, from.size(), to);
  }
  WriteFile(home / "registry.reg", store);

  const CliResult run = Run({"run", Url()});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(Saved().size(), 3u);
  const auto requests = server.Requests();
  ASSERT_FALSE(requests.empty());
  for (const auto& request : requests) EXPECT_TRUE(request.headers.contains("Via")) << request.path;
}

TEST_F(CliTest, InterruptStopsAndSavesAndTheNextRunResumes) {
  // Every picture is in flight when the run is stopped: none is done.
  for (const char* name : {"/a.jpg", "/b.jpg", "/c.png"})
    server.Serve(name, {.body = std::string(20000, 'x'), .cutAfter = 100, .stall = true});
  CliProcess cli({"run", Url()}, home.Path());
  server.WaitForStalled(3);
  cli.Interrupt();
  const CliResult stopped = cli.Wait();
  EXPECT_EQ(stopped.code, 130) << stopped.err;
  EXPECT_NE(stopped.out.find("Stopped after"), std::string::npos);
  for (const auto& name : Saved()) EXPECT_FALSE(name.ends_with("!!wr")) << name;

  TTask saved;
  saved.LoadFromFile(TaskFile());
  for (const char* name : {"/a.jpg", "/b.jpg", "/c.png"}) {
    const int index = saved.Items.IndexOfURL(server.Url(name));
    ASSERT_GE(index, 0);
    EXPECT_FALSE(saved.Items.Items(index)->Done()) << name;
  }

  server.ReleaseStalls();
  for (const char* name : {"/a.jpg", "/b.jpg", "/c.png"}) server.Serve(name, {.body = std::string(20000, 'y')});
  const CliResult resumed = Run({"run", TaskFile()});
  ASSERT_EQ(resumed.code, 0) << resumed.err;
  EXPECT_EQ(Saved(), (std::set<std::string>{"a.jpg", "b.jpg", "c.png"}));
  EXPECT_EQ(ReadFile(SavedFolder() + "/a.jpg"), std::string(20000, 'y'));
  EXPECT_EQ(server.CountRequests("GET", "/index.html"), 1);  // resumed, not started afresh
}

TEST_F(CliTest, OptionsOverrideTheTaskAndAreSaved) {
  const CliResult run = Run({"run", Url(), "--depth", "1", "--mask", "png,Pics", "--no-size-limit"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_TRUE(Saved().empty());  // only png is wanted, and more.html is too deep for its picture
  TTask task;
  task.LoadFromFile(TaskFile());
  EXPECT_EQ(task.Options.SeekDeep, 1);
  EXPECT_EQ(task.Options.FileMasks, std::vector<std::string>{"png, Pics"});
  EXPECT_FALSE(task.Options.EnableFileLimit);
  for (const auto& request : server.Requests()) EXPECT_NE(request.method, "HEAD");
}

TEST_F(CliTest, BadInputGivesOneLineAndItsExitCode) {
  const CliResult missing = Run({"run", home / "missing.wrp"});
  EXPECT_EQ(missing.code, 2);
  EXPECT_EQ(Lines(missing.err), 1) << missing.err;

  WriteFile(home / "short.wrp", std::string(1000, '\0'));
  const CliResult truncated = Run({"show", home / "short.wrp"});
  EXPECT_EQ(truncated.code, 2);
  EXPECT_NE(truncated.err.find("truncated"), std::string::npos) << truncated.err;
  EXPECT_EQ(Lines(truncated.err), 1);

  for (const char* url : {"ftp://h/x", "not a url", "http:///nohost"}) {
    const CliResult invalid = Run({"run", url});
    EXPECT_EQ(invalid.code, 1) << url;
    EXPECT_EQ(Lines(invalid.err), 1) << invalid.err;
  }

  WriteFile(home / "plain-file", "");
  const CliResult unwritable = Run({"run", Url(), "--save-folder", home / "plain-file/sub"});
  EXPECT_EQ(unwritable.code, 2);
  EXPECT_NE(unwritable.err.find("save folder"), std::string::npos) << unwritable.err;

  EXPECT_EQ(Run({"run", Url(), "--bogus"}).code, 1);
  EXPECT_EQ(Run({"run", Url(), "--proxy", "nohost"}).code, 1);
  EXPECT_EQ(Run({"new", "bad.name", Url()}).code, 1);
  EXPECT_EQ(Run({"--help"}).code, 0);
  EXPECT_NE(Run({"--version"}).out.find("vendrake-cli "), std::string::npos);
}

// A start URL that cannot be fetched is a failure with its reason, never "Done".
TEST_F(CliTest, AStartUrlThatFailsEndsWithItsReasonAndANonZeroCode) {
  const CliResult missing = Run({"run", server.Url("/missing.html")});
  EXPECT_EQ(missing.code, 4) << missing.out;
  EXPECT_NE(missing.err.find("could not be fetched"), std::string::npos) << missing.err;
  EXPECT_NE(missing.out.find("Failed: " + server.Url("/missing.html") + ": HTTP/1.1 404"), std::string::npos)
      << missing.out;
  EXPECT_NE(missing.out.find("Failed after"), std::string::npos) << missing.out;

  server.Serve("/loop.html", {.status = 302, .headers = {{"Location", "/loop.html"}}});
  const CliResult loop = Run({"run", server.Url("/loop.html")});
  EXPECT_EQ(loop.code, 4) << loop.out;
  EXPECT_NE(loop.err.find("could not be fetched (" + server.Url("/loop.html")), std::string::npos) << loop.err;

  const CliResult refused = Run({"run", "http://127.0.0.1:" + std::to_string(FreeLoopbackPort()) + "/"});
  EXPECT_EQ(refused.code, 4) << refused.out;

  for (const char* port : {"99999", "0", "http"}) {
    const CliResult bad = Run({"run", std::string("http://127.0.0.1:") + port + "/"});
    EXPECT_EQ(bad.code, 1) << port;
    EXPECT_NE(bad.err.find("port"), std::string::npos) << bad.err;
  }

  // A picture that fails costs only itself, with a log line.
  server.Serve("/index.html", {.body = "<img src=a.jpg><img src=gone.jpg>"});
  const CliResult run = Run({"run", Url()});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("Failed: " + server.Url("/gone.jpg")), std::string::npos) << run.out;
}

TEST_F(CliTest, AFullDiskLosesNeitherTheTaskFileNorOtherFiles) {
  ASSERT_EQ(Run({"run", Url()}).code, 0);
  const std::string before = ReadFile(TaskFile());

  // A big picture that cannot be written, then a task file that cannot be
  // saved: the limit lies between the two sizes, then below the task file.
  server.Serve("/more.html", {.body = "<img src=c.png><img src=big.jpg>"});
  server.Serve("/big.jpg", {.body = std::string(3 << 20, 'z')});
  const CliResult noRoom = Run({"run", TaskFile()}, std::size_t{2} << 20);
  EXPECT_EQ(noRoom.code, 2) << noRoom.err;  // the picture that could not be written
  EXPECT_NE(noRoom.err.find("1 files could not be saved"), std::string::npos) << noRoom.err;
  EXPECT_NE(noRoom.out.find("Failed: Cannot save the file \"" + SavedFolder() + "/big.jpg\": File too large"),
            std::string::npos)
      << noRoom.out;
  EXPECT_EQ(Saved(), (std::set<std::string>{"a.jpg", "b.jpg", "c.png", "a[0].jpg", "b[0].jpg", "c[0].png"}));

  const std::string afterFirst = ReadFile(TaskFile());
  const CliResult noRoomForTask = Run({"run", TaskFile()}, std::size_t{300} << 10);
  EXPECT_EQ(noRoomForTask.code, 2);
  EXPECT_NE(noRoomForTask.err.find("cannot save the task"), std::string::npos) << noRoomForTask.err;
  EXPECT_EQ(ReadFile(TaskFile()), afterFirst);
  EXPECT_NE(afterFirst, before);
}

}  // namespace
}  // namespace vdk::test
