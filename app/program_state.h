// What the program remembers starts afresh with every start of the program, also when one
// process starts it many times over, as the tests do. Each module keeps all it remembers in one
// struct held by a ProgramState; the start of the program gives every such struct back the
// values it is built with, so a variable added to one cannot outlive a run.
#pragma once

class ProgramStateLink {
  public:
    // Every module's state as it is built; only while no thread of the program runs.
    static void startAllAfresh();

  protected:
    ProgramStateLink();
    ~ProgramStateLink() = default;
    ProgramStateLink(const ProgramStateLink&) = delete;
    ProgramStateLink& operator=(const ProgramStateLink&) = delete;

  private:
    virtual void startAfresh() = 0;
    // Zero before any constructor runs, so the order in which modules link up does not matter.
    static ProgramStateLink* first;
    ProgramStateLink* next;
};

template <typename State> class ProgramState : public State, private ProgramStateLink {
  private:
    void startAfresh() override { static_cast<State&>(*this) = State(); }
};
