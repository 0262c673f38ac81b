#pragma once

namespace koma::test {

/// The environment variable that makes the GUI test program run recovery_child_main instead of
/// its tests: the recovery folder to use.
inline constexpr char kRecoveryChildFolder[] = "KOMA_TEST_RECOVERY_CHILD";
/// The state file the child opens.
inline constexpr char kRecoveryChildState[] = "KOMA_TEST_RECOVERY_STATE";

/// The child of the recovery test: opens the main window on the state file named in the
/// environment, nudges a step through the window's buttons, prints "copied" once the recovery
/// copy is written and runs until it is killed.
int recovery_child_main();

}  // namespace koma::test
