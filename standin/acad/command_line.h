// The command line of the stand-in: typed input, one byte at a time, runs
// the commands a drawing job uses and keeps the prompt line that the
// prompt windows show. Knows nothing of windows; files go through hooks.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dxf/drawing.h"

namespace qel::acadstandin {

// The drawing model is the one the program's own DXF output uses.
using dxf::Block;
using dxf::Drawing;
using dxf::Entity;
using dxf::EntityKind;
using dxf::Linetype;
using dxf::Point;
using dxf::TextStyle;
using dxf::UpperAscii;

// One open drawing (a drawing window).
struct Document {
  int id = 0;
  std::string name;                // file path, or "Drawing1.dwg" before the first save
  Drawing drawing;
  std::string linetype = "BYLAYER";  // linetype of new entities
  std::string style = "STANDARD";    // style of new texts
  bool untouched = true;           // the empty start drawing, replaced by the first OPEN
};

struct FileHooks {
  std::function<bool(const std::string& path, Drawing& out, std::string& error)> read;
  std::function<bool(const std::string& path, const Drawing& drawing, std::string& error)> write;
};

class CommandLine {
 public:
  // singleDrawing: OPEN replaces the drawing instead of opening a window.
  CommandLine(FileHooks hooks, bool singleDrawing);

  void Type(std::string_view bytes);
  void Key(unsigned char c);

  const std::string& Prompt() const { return prompt_; }   // "Command: " at rest
  const std::string& Input() const { return input_; }     // typed, not yet entered
  // Lines shown above the prompt (messages, echoed input), oldest first.
  const std::vector<std::string>& History() const { return history_; }
  std::string LastMessage() const { return lastMessage_; }

  const std::vector<std::unique_ptr<Document>>& Documents() const { return docs_; }
  Document& Active() { return *docs_[active_]; }
  int ActiveIndex() const { return active_; }
  void Activate(int index);

  // Called with the upper-case name of every command word at "Command: ",
  // before the command runs (the test switch that freezes the window).
  std::function<void(const std::string& name)> onCommand;

  int FileDia() const { return filedia_; }
  int OsMode() const { return osmode_; }

 private:
  enum class Step {
    Command,
    SysVar,
    LineFirst, LineNext,
    RectFirst, RectOther,
    TextStart, TextJustify, TextPoint, TextHeight, TextRotation, TextString, TextStyleName,
    InsertName, InsertPoint, InsertXScale, InsertYScale, InsertRotation,
    OpenName,
    SaveFormat, SaveName,
    StyleName, StyleFont, StyleHeight, StyleWidth, StyleOblique, StyleBackwards, StyleUpsideDown, StyleVertical,
    LinetypeOption, LinetypeName,
  };

  void Enter();
  void Cancel();
  void Submit(const std::string& token);
  void StartCommand(const std::string& token);
  void Go(Step step, const std::string& prompt);
  void Done();
  void Message(const std::string& line);
  void Echo(const std::string& token);
  bool TextMode() const { return step_ == Step::TextString; }
  bool FileNameMode() const { return step_ == Step::OpenName || step_ == Step::SaveName; }
  void Add(Entity e);
  void OpenDrawing(const std::string& path);
  void SaveDrawing(const std::string& path);
  std::string DefaultExtension(std::string path) const;

  FileHooks hooks_;
  bool single_;
  std::vector<std::unique_ptr<Document>> docs_;
  int active_ = 0;
  int nextId_ = 1;

  Step step_ = Step::Command;
  std::string prompt_;
  std::string input_;
  bool lead_ = false;              // the previous byte began a double-byte character
  bool quoted_ = false;            // inside double quotes at a file name prompt
  bool lastWasCr_ = false;
  std::vector<std::string> history_;
  std::string lastMessage_;

  int filedia_ = 1, osmode_ = 4133;
  std::string sysVar_;

  Point first_, last_;             // LINE, RECTANG
  std::vector<size_t> segments_;   // LINE: entities drawn, for Undo
  Entity text_;                    // TEXT being placed
  Entity insert_;                  // INSERT being placed
  std::string lastBlock_;
  TextStyle style_;                // -STYLE being defined
};

// "60,230" or "-5.5,2" (an optional third coordinate is ignored) and
// "@dx,dy" relative to last. False when the text is not a point.
bool ParsePoint(const std::string& text, const Point& last, Point& out);
bool ParseNumber(const std::string& text, double& out);

}  // namespace qel::acadstandin
