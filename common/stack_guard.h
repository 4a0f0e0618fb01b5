// The stack guard of a program whose functions check their frames (the
// installer and the link helper): its value, its failure routine, and its
// seeding.
#pragma once

// Gives the stack guard a value that differs from run to run. Called first
// thing at entry, by a function that the compiler's checks leave alone.
__attribute__((no_stack_protector)) void SeedStackGuard();
