#pragma once
// The end of a worker: its completion or cancellation line, the hand-over of the chip image to
// the editor, the compare or the blank check, the checksum, the automatic dump file, the next
// step of a script and the return to ready.
#include <cstdint>
#include <span>

class Session;

class OperationCompletion {
public:
    explicit OperationCompletion(Session& session) : session_(session) {}

    // A negative code of WM_OP_PROGRESS with the worker's elapsed seconds; a fault at an address.
    void WMOpProgress(int32_t code, float seconds);
    void WMOpFault(int32_t address);

    // Hands `count` bytes of the chip image to the blank check, the compare or the editor.
    void HexEditorUpdate(std::span<const uint8_t> buffer, uint32_t count, bool blankCheck, bool compare);
    // Computes the checksum line of the editor's contents, logs it and shows it in the status bar.
    void CheckSum();

    // A write and its verify are done: the completion line with the time of both, then the
    // compare of a script.
    void WriteCompleted(float seconds);
    // Compares the chip image just read back (the transfer buffer, or `chipImage`) with the
    // editor's bytes; a difference is logged in red with its count and first address, and shown in
    // the compare grid.
    bool VerifyAgainstEditor();
    bool VerifyAgainstEditor(std::span<const uint8_t> chipImage);

private:
    void ReadFinishedStep(float seconds);
    void WriteFinishedStep(float seconds);
    void VerifyFinishedStep(float seconds);
    void EraseFinishedStep();
    void EraseCheckFinishedStep();
    void CompletionTail();
    void SaveAutomaticDump();

    Session& session_;
};
