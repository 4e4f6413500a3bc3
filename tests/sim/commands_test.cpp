// What each script command does to the game, seen through dumps.
#include <gtest/gtest.h>

#include "sim_run.h"

namespace tilerush::sim::testing {

TEST(SimCommands, DumpPrintsNamedFieldsAndElementsInRecordOrder) {
  EXPECT_EQ(lastDump("dump lives numbricks points Timer3\n"),
            "{\"t\": 0, \"fields\": {\"points\": 0, \"lives\": 3}, \"elements\": {\"numbricks\": {\"kind\": "
            "\"label\", \"left\": 6960, \"top\": 840, \"width\": 1080, \"height\": 390, \"visible\": true, "
            "\"caption\": \"120\", \"backcolor\": 15790320, \"z\": 11}, \"Timer3\": {\"kind\": \"timer\", "
            "\"interval\": 50}}}");
  EXPECT_EQ(
      lastDump("dump pause\n"),
      "{\"t\": 0, \"fields\": {}, \"elements\": {\"pause\": {\"kind\": \"button\", \"left\": 3360, \"top\": "
      "2880, \"width\": 2415, \"height\": 1455, \"visible\": false, \"caption\": \"Pause\"}}}");
}

TEST(SimCommands, FloatsAreWidenedAndPrintedShortest) {
  EXPECT_EQ(lastDump("dump cellh speed\n"),
            "{\"t\": 0, \"fields\": {\"cellh\": 226.1999969482422, \"speed\": 103.6875}, \"elements\": {}}");
  EXPECT_EQ(lastDump("set xspeed 1e300\nset lastcell -0.1\ndump xspeed lastcell\n"),
            "{\"t\": 0, \"fields\": {\"xspeed\": 1e+300, \"lastcell\": -0.1}, \"elements\": {}}");
  // A zero cell width makes the cell of a test point 0 / 0; the dump stays JSON.
  EXPECT_EQ(lastDump("set cellw 0\ntick Timer2\ndump lastcell\n"),
            "{\"t\": 0, \"fields\": {\"lastcell\": null}, \"elements\": {}}");
}

TEST(SimCommands, SeedReplaysAndQueuedDrawsComeFirst) {
  // Seed 1 draws 0.5665615200996399 and then 0.7457817196846008 for the serve.
  EXPECT_EQ(lastDump("dump xfactor yfactor\n"),
            "{\"t\": 0, \"fields\": {\"xfactor\": 0.971671923995018, \"yfactor\": 0.9627109140157699}, "
            "\"elements\": {}}");
  // A queued 0.5 is used for xfactor; yfactor takes the generator's first draw.
  SimRun queued = runSim("seed 1\ndraws 0.5\nopen\ndump xfactor yfactor\n");
  EXPECT_EQ(
      queued.out,
      "{\"t\": 0, \"fields\": {\"xfactor\": 0.975, \"yfactor\": 0.971671923995018}, \"elements\": {}}\n");
}

TEST(SimCommands, IntegerFieldsRoundHalfToEvenAndTablesTakeIndices) {
  EXPECT_EQ(lastDump("set lives 2.5\nset roll -3.5\nset cellval[30][35] 7.5\nset logoyspeed[2] 0.5\n"
                     "dump lives roll logoyspeed\n"),
            "{\"t\": 0, \"fields\": {\"roll\": -4, \"lives\": 2, \"logoyspeed\": [149, -166, 0]}, "
            "\"elements\": {}}");
  EXPECT_EQ(lastDumpJson("set cellval[30][35] 7.5\ndump cellval\n")["fields"]["cellval"][30][35], 8);
  // A map row is text: the rest of the line, possibly empty; a map shows once it holds a row.
  auto levels = lastDumpJson("set levels[7][1] 12 34\nset levels[1][1]\ndump levels\n")["fields"]["levels"];
  EXPECT_EQ(levels["1"][0], "");
  EXPECT_EQ(levels["1"][1], "10000000000000000001");
  EXPECT_EQ(levels["7"][0], "12 34");
  EXPECT_EQ(levels["7"][1], "");
}

TEST(SimCommands, FieldsSetBeforeOpenShapeTheStartUp) {
  SimRun run = runSim("seed 1\nset lives 2\nset toppoints 1230\nopen\ndump lives highscore\n");
  ASSERT_EQ(run.status, 0) << run.err;
  auto dump = dumpsOf(run.out).back();
  EXPECT_EQ(dump["fields"]["lives"], 2);
  EXPECT_EQ(dump["elements"]["highscore"]["caption"], "001230");
}

TEST(SimCommands, ElementPropertiesGoThroughTheDisplay) {
  std::string dump = lastDump(
      "set ball.left 4000.5\nset brick[41].visible 0\nset pause.caption   Go on  \nset Timer1.interval 0\n"
      "set numbricks.backcolor 0xFF\nset ball.fillcolor 65280\ndump ball pause Timer1\n");
  auto elements = nlohmann::json::parse(dump)["elements"];
  EXPECT_EQ(elements["ball"]["kind"], "shape");
  EXPECT_EQ(elements["ball"]["left"], 4000.5);
  EXPECT_EQ(elements["ball"]["fillcolor"], 65280);
  EXPECT_EQ(elements["pause"]["caption"], "Go on");
  EXPECT_EQ(elements["Timer1"], (nlohmann::json{{"kind", "timer"}, {"interval", 0}}));
  // A stopped paddle timer: a held arrow key moves nothing however long we wait.
  EXPECT_EQ(
      lastDumpJson(
          "set Timer1.interval 0\nkey down right\nadvance 1000\ndump paddle\n")["elements"]["paddle"]["left"],
      3749.5);
}

TEST(SimCommands, TimersFallDueFromWhenTheirIntervalWasSet) {
  // Paddle ticks at 25, 50, 75 and 100 ms; each moves it 207.375 twips right.
  const auto paddleAfter = [](const std::string& body) {
    return lastDumpJson(body + "dump paddle\n")["elements"]["paddle"]["left"];
  };
  EXPECT_EQ(paddleAfter("key down right\nadvance 99\n"), 4371.625);
  EXPECT_EQ(paddleAfter("key down right\nadvance 100\n"), 4579);
  // Restarting at 10 ms puts the next tick at 35 ms, not at 25.
  EXPECT_EQ(paddleAfter("key down right\nadvance 10\nset Timer1.interval 25\nadvance 24\n"), 3749.5);
  // tick fires now and leaves the schedule alone; a stopped timer does not fire.
  EXPECT_EQ(paddleAfter("key down right\ntick Timer1 3\n"), 4371.625);
  EXPECT_EQ(paddleAfter("key down right\nkey down p\ntick Timer1 3\n"), 3749.5);
}

TEST(SimCommands, ScriptTextIsForgiving) {
  SimRun run = runSim("# a comment\r\n\r\n  seed\t1   # trailing\r\nopen\r\ndump lives");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "{\"t\": 0, \"fields\": {\"lives\": 3}, \"elements\": {}}\n");
}

}  // namespace tilerush::sim::testing
