#pragma once
// The main window with the simulated modem on a pseudo-terminal as its start
// port, for the tests of the send campaign: the numbers as an import leaves
// them, the text as the composer leaves it, and what the window's log says.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "app/core/campaign.h"
#include "app/window/message_editor.h"
#include "app/window/window_test_fixture.h"
#include "modem/engine_timing.h"
#include "tools/modemsim/modem_simulator.h"

namespace app::testing {

class CampaignWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(simulator.Start());
    StartOnSimulator();
  }
  // The window started with the running simulator's port.
  void StartOnSimulator() {
    Start();
    form->UseStartPort(simulator.PortPath());
  }

  // The numbers as an import leaves them: in the list, in the result
  // workbook without a fill, and in the phone list window.
  void Import(const std::vector<std::string>& numbers) {
    TResultWorkbook& results = form->ResultWorkbook();
    results.Create();
    form->SetResultFilePath(resultFile.string());
    TListBox& rows = *tel.View().ListBox1;
    rows.Clear();
    rows.Add(Ansi(" L.p.\tNumer telefonu"));
    for (const std::string& number : numbers) {
      form->NumberList().Add(ListRecipient(number));
      rows.Add(std::to_string(rows.Count()) + "\t" + number);
    }
    results.WriteList(form->NumberList());
    results.SaveAs(resultFile.string());
    tel.frmTelList.Show();
    form->ApplicationIdle();
  }

  void Compose(const AnsiString& text) {
    view.Memo1.SetText(text);
    form->MessageEditor().FlushPendingNormalisation();
  }

  bool Finished() {
    return RunUntil([&] { return form->Campaign().Finished(); }, std::chrono::seconds(120));
  }
  bool ConnectedIs(bool connected) {
    return RunUntil([&] { return form->ZoGSM1().Connected() == connected; }, std::chrono::seconds(30));
  }
  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    for (int i = 0; i < view.LogMemo.LineCount(); ++i) lines.push_back(view.LogMemo.Line(i));
    return lines;
  }
  bool LogHas(const AnsiString& line) const {
    const std::vector<std::string> lines = LogLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  modem::timing::ScopedTimingScale fast{0.05};
  modemsim::ModemSimulator simulator;
  std::filesystem::path resultFile = env.folder / "lista_out.xls";
};

}  // namespace app::testing
