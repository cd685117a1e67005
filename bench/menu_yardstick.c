/* The start-up yardstick: a plain C program that prints the program's first
 * menu and exits, as the program does on empty input. */
#include <stdio.h>

int main(void) {
  fputs(
      "\n"
      "**************************\n"
      "   1.输入学生数据\n"
      "   2.查看学生数据\n"
      "   3.查看班级科目数据\n"
      "   4.考试成绩对比\n"
      "   5.关闭\n"
      "**************************\n"
      "请输入你的决定(1~5):\n",
      stdout);
  return 0;
}
