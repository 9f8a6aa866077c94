SoftIPCategroy {
  1 : Timers = 'Timer blocks'
}
