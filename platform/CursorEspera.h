#pragma once
// The wait pointer shown while the server works. The window sets the two actions; without
// a window (tests, the core alone) nothing is shown.

using TAcaoCursor = void (*)();
void DefineCursorEspera(TAcaoCursor mostra, TAcaoCursor restaura);

// Shows the wait pointer for the lifetime of the object. Only the outermost of nested objects
// shows and restores it: one held around a run of statements keeps the pointer up across
// them, and the statements' own objects then cost nothing.
class TCursorEspera {
public:
    TCursorEspera();
    ~TCursorEspera();
    TCursorEspera(const TCursorEspera&) = delete;
    TCursorEspera& operator=(const TCursorEspera&) = delete;

private:
    bool mostrou_ = false;
};
