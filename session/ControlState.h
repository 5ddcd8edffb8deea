#pragma once
// The three states of the operation controls: an operation runs, no adapter, ready for a command.
enum ControlState { Busy = 0, NoAdapter = 1, Ready = 2 };
