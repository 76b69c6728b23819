#pragma once
// What the user asks of an editor window while a command runs in it. The command lets
// the window system process input between its steps, so a key can arrive in the middle
// of it, while the text cannot change and the window's menu items wait: the key would
// be lost. Instead it waits here, with the requests that wait for the command's end
// (Save and Close chosen with the mouse), in the order the user made them. Once the
// command has ended they are carried out one after the other: a key goes to the text
// as if typed then (a menu key runs its item, MenuKeyFilter; any other key edits the
// text), each on the text the one before left. A key that starts another command holds
// the rest back until that command has ended; what the user asks meanwhile queues up
// behind what still waits, and so does what comes before the waiting input is through.

#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <variant>

class QWidget;

class TypeAhead final : public QObject {
 public:
  // Watches the text control; commandRunning says whether a command runs in its window.
  TypeAhead(QWidget& text, std::function<bool()> commandRunning);

  // Whether input arriving now has to wait: while a command runs, and while earlier
  // input still waits (except the one carried out now).
  bool Holds() const;
  // A request to carry out in its turn, after the input that came before it.
  void Defer(std::function<void()> request);
  // A command has ended: what waits is carried out at the window system's next turn,
  // after what the command's end still has to do.
  void CommandEnded();
  bool Waiting() const { return !waiting_.empty(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Key {
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    bool autoRepeat;
    ushort count;
  };
  using Input = std::variant<Key, std::function<void()>>;

  void Release();
  void Deliver(const Input& input);

  QWidget& text_;
  std::function<bool()> commandRunning_;
  std::deque<Input> waiting_;
  bool releasing_ = false;
};
